#pragma once
// The detail window of the MQX-350 family: the MQX-350 (model code 350, 50-180 MHz) and
// the MQX-350L (351, 950-1950 MHz, with BUC and LNB). Its configuration boxes are the
// rows of one table (U350.cpp); the code below covers what the rows cannot say.

#include "detail/DetailWindow.h"

namespace linvar {

class TDetail350 : public DetailWindow {
public:
    TDetail350(DetailDeps deps, DetailInputs inputs);

    bool IsL() const { return model_ == 351; }
    double DataRateMax() const { return rateMax_; }

protected:
    void Identify() override;
    std::vector<BoxSpec> ConfigBoxes() const override;
    MaskSpec Masks() const override;
    void BuildFamily() override;
    void ActivateFamily() override;
    void IdentityStep() override;
    void StatusStep() override;
    void ConfigStep() override;
    void ClearStatus() override;
    void ClearConfigExtra() override;
    void LockExtra(bool effectiveLock, bool requested) override;
    bool InLoopback() const override;
    int RereadStep(const std::string& mnemonic, bool accepted) const override;
    int FullReadStep() const override { return 9; }
    int LrsReadStep() const override { return 5; }
    std::optional<std::string> CustomCommand(const BoxSpec& box, const std::string& text) override;
    void AfterFill(Source source) override;
    bool RestoreBox(const std::string& mnemonic) override;
    void OnModeAdopted() override;
    std::string MemoryPreludeQuery() const override { return IsL() ? "OGC?" : ""; }
    void FillMemoryPreview(const std::string& config) override;
    void FillMemoryPrelude(const std::string& reply) override;
    void ShowMemoryPreview(bool show) override;

private:
    void StatusLoopStep();
    void FaultLine(const std::string& name, int severity, const std::string& text);
    void DecodeFaults(const std::string& codes, const char* unit, const char* tx, const char* rx,
                      const char* odu);
    void OtherReply(const std::string& label, const std::string& reply, int length = 20);
    std::optional<std::string> AupcCommand(const std::string& targetText) const;
    void ScramblerEntries(const char* box, int fecType, int stored);
    void FecRules(const char* type, const char* mod, const char* coding);

    int model_ = 350;
    double rateMax_ = 512;
    std::string options_;
};

} // namespace linvar
