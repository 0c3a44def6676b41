#pragma once
// The configuration box rows the modem families share: one row each, placed by the
// family where its configuration string keeps the value. A family changes in a row only
// what its unit does differently (an entry list, a re-read step, limits read at run time).

#include "detail/framework/BoxRows.h"
#include "detail/modem/ModemCommon.h"

#include <string>
#include <vector>

namespace linvar::ModemRows {

// Transmit (true) or receive rows.
BoxRow Frequency(bool tx, int pos, int len, int width, std::vector<Range> ranges,
                 std::string prompt);
BoxRow DataRate(bool tx, int pos, int len, int width, int cmdWidth, std::vector<Range> ranges,
                std::string prompt);
BoxRow FecType(bool tx, int pos, Entries entries);
BoxRow FecCoding(bool tx, int pos, Entries entries);
BoxRow Modulation(bool tx, int pos, Entries entries);
BoxRow Spectrum(bool tx, int pos);
BoxRow Scrambler(bool tx, int pos);
BoxRow PowerLevel(int pos, double low);
BoxRow Carrier(int pos);
BoxRow Aupc(int pos, Entries entries);
BoxRow ClockSource(int pos, Entries entries);
BoxRow Sweep(int pos, int len, int max);
BoxRow EbNoAlarm(int pos);
BoxRow Reference(int pos, const char* command);
BoxRow Adjust();
BoxRow RemoteState(Entries entries);
BoxRow CircuitId(int width);
BoxRow OblixMode(int pos);
BoxRow SlaveAddress(int pos);
BoxRow TestMode(int pos, Entries entries);
BoxRow StatsLog(int pos);
BoxRow OduComms(Source source, int pos, const char* command);
// The AUPC parameters, sent together as "APP=" (`AupcCommand`).
BoxRow AupcTarget();
BoxRow AupcIncrease(int pos);
BoxRow AupcAtMaximum(int pos);
BoxRow AupcAtUnlock(int pos);
CompositeRow AupcCommand();
// The BUC address list, an ODU current limit, an LO frequency and its mix.
BoxRow BucAddress(int pos, const char* command, const char* confirm);
BoxRow Current(const char* control, const char* caption, int pos, int len, const char* command,
               Range range, double resolution, std::string prompt);
BoxRow LoFrequency(const char* control, const char* caption, int pos, const char* command,
                   const char* confirm);
BoxRow LoMix(const char* control, const char* caption, int pos, const char* command,
             const char* confirm);
CompositeRow LoCommand(const char* command, const char* frequency, const char* mix,
                       const char* confirm);

} // namespace linvar::ModemRows
