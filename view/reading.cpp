#include "view/reading.h"

#include <atomic>

namespace velk {

namespace {
std::atomic<dcm_reading> g_reading{dcm_reading::standard};
}

dcm_reading CurrentReading() { return g_reading.load(); }
void SetCurrentReading(dcm_reading reading) { g_reading.store(reading); }

}  // namespace velk
