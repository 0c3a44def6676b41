#pragma once
// The port component's setting types, and the few port operations the comms dialog
// uses, so that the dialog's logic can be driven with any port.

#include <cstdint>

namespace linvar {

enum eParity { paNone, PaOdd, paEven, paMark, paSpace };
enum eDataBits { d7bit, d8bit };
enum eStopBits { st1bit, st2bit };
enum eFlowControl { fcNone, fcRTS_CTS, fcDTR_DSR, fcXON_XOF };
enum eNotifyErr { neDialog, neEvent, neNone };
enum eControlLine { clRTS, clDTR };

// What the comms dialog asks of its port.
class CommsPort {
public:
    virtual ~CommsPort() = default;
    virtual bool IsOpen() const = 0;
    virtual void SetOpen(bool open) = 0;
    virtual void SetPort(uint8_t port) = 0;
    virtual void SetBaudrate(int32_t baudrate) = 0;
    virtual void SetParity(eParity parity) = 0;
    virtual void SetDataBits(eDataBits bits) = 0;
    virtual void SetStopBits(eStopBits bits) = 0;
    virtual void PurgeReceive() = 0;
    // The device went away while open (adapter pulled, far end closed).
    virtual bool PortLost() const { return false; }
};

} // namespace linvar
