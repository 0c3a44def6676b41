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
