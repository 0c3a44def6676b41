#pragma once
// The MQX-370 entry lists that more than its box table reads: the memory previews, the
// lists rebuilt from the configuration and the drop and insert types.

#include "detail/modem/ModemCommon.h"

namespace linvar::u370 {

extern const Entries kFecTx, kFecRx, kCodings, kModulations, kQamVariants, kModulationCodes,
    kReedSolomon, kInterfaces, kTxFraming, kRxFraming, kTernary, kEscTypes, kImpedances, kVolumes,
    kVolumeCodes, kTxClocks, kRxClocks, kMasterReferences, kTxBackward, kEsc, kBauds, kFormats,
    kTestModes, kRemoteStates, kAupc, kAupcLow, kDropTypes, kLnbVoltages, kInputs, kInputCodes;

} // namespace linvar::u370

namespace linvar {

// The MQX-370's own forms of two status readings: the offset unlocked as "99999", the
// level with its sign.
Reading Mqx370FreqOffsetReading(const std::string& value); // "RFO"
Reading Mqx370RslReading(const std::string& value);        // "RSL"

} // namespace linvar
