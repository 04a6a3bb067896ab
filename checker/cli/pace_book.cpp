// The shared file is read and rewritten whole under its lock for every request a run paces; it
// holds at most a window's worth of slots per service, so it stays small.
#include "cli/pace_book.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <system_error>

#include "cli/user_files.h"

namespace {

constexpr const char* HEADER = "velmora-pace 1";

// Paths are UTF-8 on every platform; Windows would read a plain string in the ANSI code page.
std::filesystem::path fsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool hostName(const std::string& word) {
  if (word.empty()) return false;
  for (const char c : word) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-')) return false;
  }
  return true;
}

std::optional<std::int64_t> number(const std::string& word) {
  if (word.empty() || word.size() > 18) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : word) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// "T" or "T*N": N slots at time T.
bool readSlots(const std::string& word, PaceState& state) {
  const auto star = word.find('*');
  const auto time = number(word.substr(0, star));
  const auto count =
      star == std::string::npos ? std::optional<std::int64_t>(1) : number(word.substr(star + 1));
  // No limit in the catalogue comes near this many slots in one window.
  constexpr std::int64_t MOST = 100000;
  if (!time || !count || *count < 1 ||
      *count > MOST - static_cast<std::int64_t>(state.sent.size())) {
    return false;
  }
  if (!state.sent.empty() && state.sent.back() > PaceTime(*time)) return false;
  state.sent.insert(state.sent.end(), static_cast<std::size_t>(*count), PaceTime(*time));
  return true;
}

struct FileBook {
  std::string folder;
  PaceWarning warn;
  bool warned = false;
  PaceMap memory;  // the last pace known, for when the file cannot be used

  void warnOnce(const std::string& why) {
    if (!warned && warn) warn(why);
    warned = true;
  }
};

PaceMap readFile(FileBook& book, const std::string& path) {
  std::ifstream in(fsPath(path), std::ios::binary);
  if (!in) {
    book.warnOnce("no pace file at '" + path + "' yet: starting one");
    return {};
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::optional<PaceMap> read = readPaceText(text.str());
  if (!read) {
    book.warnOnce("the pace file '" + path + "' is damaged: starting it afresh");
    return {};
  }
  return *read;
}

void writeFile(FileBook& book, const std::string& path, const PaceMap& services) {
  const std::string fresh = path + ".new";
  {
    std::ofstream out(fsPath(fresh), std::ios::binary | std::ios::trunc);
    out << writePaceText(services);
    if (!out.flush()) {
      book.warnOnce("cannot write '" + fresh + "': this run keeps its pace to itself");
      return;
    }
  }
  std::error_code failed;
  std::filesystem::rename(fsPath(fresh), fsPath(path), failed);  // whole or not at all
  if (failed) book.warnOnce("cannot replace '" + path + "': " + failed.message());
}

}  // namespace

PaceBook memoryPaceBook() {
  auto services = std::make_shared<PaceMap>();
  return {[services](const std::function<void(PaceMap&)>& change) { change(*services); }};
}

PaceBook filePaceBook(const std::string& folder, PaceWarning warn) {
  auto book = std::make_shared<FileBook>();
  book->folder = folder;
  book->warn = std::move(warn);
  return {[book](const std::function<void(PaceMap&)>& change) {
    std::error_code ignored;
    std::filesystem::create_directories(fsPath(book->folder), ignored);
    std::string error;
    const std::shared_ptr<void> lock = lockFile(book->folder + "/pace.lock", error);
    if (!lock) {
      book->warnOnce(error + ": this run keeps its pace to itself");
      change(book->memory);
      return;
    }
    const std::string path = book->folder + "/pace";
    PaceMap services = readFile(*book, path);
    change(services);
    writeFile(*book, path, services);
    book->memory = std::move(services);
  }};
}

std::string writePaceText(const PaceMap& services) {
  std::string text = std::string(HEADER) + "\n";
  for (const auto& [host, state] : services) {
    if (state.sent.empty() && state.blockedUntil.count() <= 0) continue;
    text += host + " " + std::to_string(state.blockedUntil.count());
    for (std::size_t i = 0; i < state.sent.size();) {
      std::size_t same = 1;
      while (i + same < state.sent.size() && state.sent[i + same] == state.sent[i]) ++same;
      // Appended piece by piece: "x" + a temporary trips GCC 12's -Wrestrict at -O3.
      text += ' ';
      text += std::to_string(state.sent[i].count());
      if (same > 1) {
        text += '*';
        text += std::to_string(same);
      }
      i += same;
    }
    text += "\n";
  }
  return text;
}

std::optional<PaceMap> readPaceText(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != HEADER) return std::nullopt;
  PaceMap services;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string host;
    std::string word;
    if (!(words >> host >> word) || !hostName(host) || services.count(host) != 0) {
      return std::nullopt;
    }
    PaceState& state = services[host];
    const auto notBefore = number(word);
    if (!notBefore) return std::nullopt;
    state.blockedUntil = PaceTime(*notBefore);
    while (words >> word) {
      if (!readSlots(word, state)) return std::nullopt;
    }
  }
  if (!lines.eof()) return std::nullopt;
  return services;
}
