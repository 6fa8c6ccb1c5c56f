#pragma once

// The process's own memory, for benchmarks and soak runs: resident set now and at its peak,
// in kibibytes. 0 when the system does not say.
namespace ProcessMemory {
long ResidentKb();
long PeakResidentKb();
} // namespace ProcessMemory
