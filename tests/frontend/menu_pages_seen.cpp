// The pages the main page and the page runner open, the championship start
// and the car preview, seen by the main page's tests in gPageCalls as
// "Page name [argument]" and "Preview type x clip" instead of run; the
// page-enter refresh is seen and run.
#include <cstdint>
#include <string>

#include "page_calls.h"

struct Vehicle;

namespace {
void Seen(const std::string& what) { gPageCalls.push_back("Page " + what); }
}  // namespace

extern "C" {
void __wrap__Z20MenuRunVehicleChoicev() { Seen("vehicle"); }
void __wrap__Z19MenuRunGraphicsPagev() { Seen("graphics"); }
void __wrap__Z19MenuRunControlsPagev() { Seen("controls"); }
void __wrap__Z17MenuRunKitCarPagev() { Seen("kitcar"); }
void __wrap__Z18MenuRunRecordsPagev() { Seen("records"); }
void __wrap__Z16MenuRunSavesPagei(int32_t action) { Seen("saves " + std::to_string(action)); }
void __wrap__Z24MenuRunNetConnectionPagev() { Seen("connection"); }
void __wrap__Z18MenuRunNetGamePagev() { Seen("netgame"); }
void __wrap__Z21MenuRunNetWaitingPagei(int32_t role) { Seen("waiting " + std::to_string(role)); }
void __real__Z16MenuRefreshItemsi(int32_t);
// The page-enter refresh is seen and made.
void __wrap__Z16MenuRefreshItemsi(int32_t refresh) {
  Seen("refresh " + std::to_string(refresh));
  __real__Z16MenuRefreshItemsi(refresh);
}
void __wrap__Z26ChampionshipResetStandingsv() { Seen("standings"); }
void __wrap__Z18PreviewDrawVehicleP7Vehicleiii(Vehicle*, int32_t type, int32_t x, int32_t clip) {
  gPageCalls.push_back("Preview " + std::to_string(type) + " " + std::to_string(x) + " " + std::to_string(clip));
}
[[noreturn]] void __wrap__Z14CreditsAndQuitv() { throw PageLeft{"CreditsAndQuit"}; }
}
