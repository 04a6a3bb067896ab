// Stands in for velmora-checker in the installer's end-to-end tests: it notes where it was started
// from, one line per start in the file named by VELMORA_STANDIN_LOG, and either ends at once or,
// with VELMORA_STANDIN_STAY set, keeps running (its file busy) until the test ends it.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int, char** argv) {
  if (const char* log = std::getenv("VELMORA_STANDIN_LOG")) {
    std::ofstream(log, std::ios::app)
        << std::filesystem::current_path().string() << '|' << argv[0] << '\n';
  }
  if (std::getenv("VELMORA_STANDIN_STAY")) {
    // Bounded, so a test that dies before ending it leaves nothing behind for long.
    std::this_thread::sleep_for(std::chrono::seconds(60));
  }
  return 0;
}
