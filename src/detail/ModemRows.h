#pragma once
// The configuration box rows the modem families share: one row each, placed by the
// family where its configuration string keeps the value. A family changes in a row only
// what its unit does differently (an entry list, a re-read step, limits read at run time).

#include "detail/BoxSpec.h"
#include "detail/ModemCommon.h"

#include <string>
#include <vector>

namespace linvar::ModemRows {

// Transmit (true) or receive rows.
BoxSpec Frequency(bool tx, int pos, int len, int width, std::vector<Range> ranges,
                  std::string prompt);
BoxSpec DataRate(bool tx, int pos, int len, int width, int cmdWidth, std::vector<Range> ranges,
                 std::string prompt);
BoxSpec FecType(bool tx, int pos, Entries entries);
BoxSpec FecCoding(bool tx, int pos, Entries entries);
BoxSpec Modulation(bool tx, int pos, Entries entries);
BoxSpec Spectrum(bool tx, int pos);
BoxSpec Scrambler(bool tx, int pos);
BoxSpec PowerLevel(int pos, double low);
BoxSpec Carrier(int pos);
BoxSpec Aupc(int pos, Entries entries);
BoxSpec ClockSource(int pos, Entries entries);
BoxSpec Sweep(int pos, int len, int max);
BoxSpec EbNoAlarm(int pos);
BoxSpec Reference(int pos, const char* command);
BoxSpec Adjust();
BoxSpec RemoteState(Entries entries);
BoxSpec CircuitId(int width);
BoxSpec OblixMode(int pos);
BoxSpec SlaveAddress(int pos);
BoxSpec TestMode(int pos, Entries entries);
BoxSpec StatsLog(int pos);
BoxSpec OduComms(Source source, int pos, const char* command);
// The AUPC parameters, sent together as "APP=" (`AupcCommand`).
BoxSpec AupcTarget();
BoxSpec AupcIncrease(int pos);
BoxSpec AupcAtMaximum(int pos);
BoxSpec AupcAtUnlock(int pos);
CompositeSpec AupcCommand();
// The BUC address list, an ODU current limit, an LO frequency and its mix.
BoxSpec BucAddress(int pos, const char* command, const char* confirm);
BoxSpec Current(const char* control, int tag, const char* caption, int pos, int len,
                const char* command, Range range, double resolution, std::string prompt);
BoxSpec LoFrequency(const char* control, int tag, const char* caption, int pos, const char* command,
                    const char* confirm);
BoxSpec LoMix(const char* control, int tag, const char* caption, int pos, const char* command,
              const char* confirm);
CompositeSpec LoCommand(const char* command, const char* frequency, const char* mix,
                        const char* confirm);

} // namespace linvar::ModemRows
