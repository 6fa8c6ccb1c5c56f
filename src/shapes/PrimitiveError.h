#pragma once

// Errors of the primitive drawing routines (transform stack overflow or underflow, a zero
// length normal). None can happen with the fixed solid tables; if one does, the geometry is
// broken beyond repair and the process ends with exit code 1, after a message box titled
// "Error" when message boxes are enabled.
namespace PrimitiveError {

void SetMessageBoxes(bool enabled);
bool MessageBoxes();

[[noreturn]] void Report(const char* message);

} // namespace PrimitiveError
