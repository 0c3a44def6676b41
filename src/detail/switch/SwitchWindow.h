#pragma once
// The detail window of a 1:N redundancy switch (TRV-420, TRV-430). It is steered by one
// numbered step list: a button asks for a step, not a phase. The status and the
// configuration panel are read by the same steps (SwitchTables.cpp holds them with the
// panels, the boxes, the lamp tables and the event log's texts); SwitchWindow.cpp has the
// steps that are not plain readings, the changes made by buttons and check boxes, the
// utilities and the log.

#include "detail/framework/DetailWindow.h"

#include <array>

namespace linvar {

class SwitchWindow : public DetailWindow {
public:
    SwitchWindow(DetailDeps deps, DetailInputs inputs);

    // Characters 3-5 of the "EID?" reply: "420" or "430"; empty until it has answered.
    const std::string& ModelCode() const { return modelCode_; }
    const std::string& ActFlags() const { return actFlags_; }

    // The steps other parts of the window ask for.
    static constexpr int kStart = 400;
    // The reading steps of the configuration values a refused change reads back.
    static constexpr int kReadSid = 21;
    static constexpr int kReadSam = 29;
    static constexpr int kReadOpm = 37;
    static constexpr int kReadBkh = 41;
    static constexpr int kReadRsh = 45;
    static constexpr int kReadBbu = 79;
    static constexpr int kReadLrs = 87;
    static constexpr int kStatus = 410;
    static constexpr int kConfig = 450;
    static constexpr int kConfigIdle = 452;
    static constexpr int kUtilities = 500;
    static constexpr int kClockLoop = 501;
    static constexpr int kSetTime = 531;
    static constexpr int kMemoryRead = 551;
    static constexpr int kMemoryLoad = 563;
    static constexpr int kMemoryStore = 565;
    static constexpr int kLog = 600;
    static constexpr int kLogIdle = 599;
    static constexpr int kLogRead = 603;
    static constexpr int kLogWrite = 611;
    static constexpr int kLogDone = 605;

    // One record of the switch's event log as its memo line shows it after the address;
    // empty for an empty record.
    static std::string EventLine(const std::string& record, const Clock& clock);

protected:
    std::string Identify() override;
    FamilyDescription Describe() const override;
    std::vector<BoxRow> ConfigBoxes() const override;
    std::vector<CompositeRow> Composites() const override;
    void BuildFamily() override;
    void ActivateFamily() override;
    void Step() override;
    void ClearStatus() override;
    void LockExtra(bool effectiveLock, bool requested) override;
    bool InConfiguration() const override { return shown("PanelConfig"); }
    int RereadStep(const std::string& mnemonic, bool accepted) const override;
    int FullReadStep() const override { return AcceptedNext(); }
    int LrsReadStep() const override { return AcceptedNext(); }
    void AfterAccepted(const std::string& mnemonic) override;
    bool OnComboChange(const BoxRow& box) override;

private:
    // One lamp triple and button of a traffic-modem interface state digit.
    struct InterfaceLook {
        Colour installed, valid, active;
        const char* button; // "A", "D" or "U"
    };
    static InterfaceLook LookOf(const std::string& model, char digit);
    static std::vector<StatusGroup> StatusPanel();

    std::vector<ReadStep> ReadingSteps();
    void BuildStatus();
    void BuildConfig();
    void BuildUtilityExtras();
    // 451 while the configuration panel waits for the operator, else n.
    int ConfigNext(int n) const;
    // Where the status loop starts again: the identity first while the model is unknown.
    int LoopStart(int n) const { return modelCode_.empty() ? 1 : n; }
    int AcceptedNext() const;
    // The steps that are not plain readings.
    bool ControlStep();
    bool UtilityStep();
    bool LogStep();

    void ShowCaption(const std::string& more);
    void DecodeMam(char digit);
    void DecodeSam(char digit);
    void DecodeAam(char digit);
    void DecodeOpm(char digit);
    void DecodeInterfaces(const std::string& reply);
    void DecodeFaults(const std::string& reply);
    void DecodeBridge(const std::string& reply);
    void DecodeUnread(const std::string& reply);
    int DecodeLocalRemote(const std::string& reply);
    void PreviewLocation(const std::string& reply);
    void ActivatePressed(int k);
    void MaskClicked(const char* command, const char* first, const char* second, int reread);
    void EnableActivateButtons();
    bool ActFlagsRead() const;
    std::string MemoryNumber() const;

    std::string modelCode_;
    std::string actFlags_;
    std::string keptDate_;
    int rereadOf_ = 0; // the re-read step of a change made by a button or check box
    bool configPanelWasOpen_ = false;
    // The flags were read after the button captions they go with, and nothing that may have
    // changed them (a memory load) came between.
    bool flagsMatchCaptions_ = false;
    int messageHoldTicks_ = 0;
    std::array<char, 2> masksRead_{{'0', '0'}}; // "MAM?" and "AAM?" digits last read
    std::vector<ReadStep> steps_;
};

} // namespace linvar
