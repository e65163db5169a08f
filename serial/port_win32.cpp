// The serial operations over the communications calls of kernel32: one
// synchronous, exclusive port handle at a time.
#include "serial.h"

#include <windows.h>

namespace {

HANDLE SerialLink = INVALID_HANDLE_VALUE;

// Recommended sizes of the driver's input and output queues.
const DWORD QueueBytes = 10000;

} // namespace

int OpenPort(const Text& name, int32_t baud) {
    Text path = DevicePath(name);
    HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    SetupComm(handle, QueueBytes, QueueBytes);

    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) {
        CloseHandle(handle);
        return 0;
    }
    // 8N1 at the given rate, CTS not monitored, RTS off. Everything else
    // (DTR, DSR handling, XON/XOFF, abort on error) is written back as the
    // driver reported it.
    dcb.BaudRate = static_cast<DWORD>(static_cast<uint32_t>(baud));
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    if (!SetCommState(handle, &dcb)) {
        CloseHandle(handle);
        return 0;
    }

    // No read time-outs: a read returns once it has what it asked for, and
    // the link asks only for bytes already queued.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 100;
    timeouts.WriteTotalTimeoutConstant = 10;
    SetCommTimeouts(handle, &timeouts);

    SerialLink = handle;
    return 1;
}

void ClosePort() {
    if (SerialLink != INVALID_HANDLE_VALUE) {
        CloseHandle(SerialLink);
        SerialLink = INVALID_HANDLE_VALUE;
    }
}

uint32_t WaitingBytes() {
    if (SerialLink == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD errors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof status);
    // Also clears a line error, so that it does not block the read.
    if (!ClearCommError(SerialLink, &errors, &status)) {
        return PortLost;
    }
    return status.cbInQue == PortLost ? PortLost - 1 : status.cbInQue;
}

uint32_t ReadPort(uint8_t* buffer, uint32_t count) {
    if (SerialLink == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD read = 0;
    if (!ReadFile(SerialLink, buffer, count, &read, nullptr)) {
        return 0;
    }
    return read;
}
