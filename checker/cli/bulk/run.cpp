// Workers take the next address from a shared counter; the main thread prints finished rows in
// input order and redraws the progress line about once a second.
#include "cli/bulk/run.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "cli/bulk/address_list.h"
#include "cli/bulk/output.h"
#include "json/display_text.h"
#include "scan/run_scan.h"

namespace {

struct Rows {
  std::vector<AddressRow> rows;
  std::string error;  // the list could not be read
};

Rows collectRows(const CliCommand& command) {
  Rows rows;
  for (std::size_t i = 0; i < command.addresses.size(); ++i) {
    rows.rows.push_back(addressArgument(command.addresses[i], i + 1));
  }
  if (command.file.empty()) return rows;
  std::vector<AddressRow> listed;
  if (command.file == "-") {
    listed = readAddressLines(std::cin, "standard input");
    if (std::cin.bad()) rows.error = "could not read standard input";
  } else {
    std::ifstream in(command.file);
    if (!in) {
      rows.error = "cannot open '" + command.file + "': " + std::strerror(errno);
      return rows;
    }
    errno = 0;
    listed = readAddressLines(in, command.file);
    if (in.bad()) {
      rows.error = "could not read '" + command.file + "'";
      if (errno != 0) rows.error += std::string(": ") + std::strerror(errno);
    }
  }
  rows.rows.insert(rows.rows.end(), listed.begin(), listed.end());
  return rows;
}

std::string duration(double seconds) {
  const long s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%ld h %02ld min", s / 3600, s / 60 % 60);
  } else if (s >= 60) {
    std::snprintf(text, sizeof text, "%ld min %02ld s", s / 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld s", s);
  }
  return text;
}

// Requests held back for one host: how many, and the latest slot one of them waits for.
struct Held {
  int requests = 0;
  PaceTime until{0};
};

std::string progressLine(std::size_t done, std::size_t total, double elapsed,
                         const std::map<std::string, Held>& held, PaceTime now) {
  std::string line = "\r\x1b[K[" + std::to_string(done) + "/" + std::to_string(total) + " done] ";
  double longestWait = 0;
  for (const auto& [host, h] : held) {
    if (h.requests <= 0) continue;
    const double wait = std::chrono::duration<double>(h.until - now).count();
    longestWait = std::max(longestWait, wait);
    line += "waiting for " + host + " (free-tier limit, " + duration(std::max(wait, 0.0)) + "); ";
  }
  if (done == 0 || elapsed <= 0) return line + "scanning, " + duration(elapsed);
  const double perMinute = static_cast<double>(done) * 60.0 / elapsed;
  char rate[48];
  std::snprintf(rate, sizeof rate, "%.1f addresses/min", perMinute);
  line += rate;
  if (done < total) {
    // A known wait for a service's limit is at least part of what is left.
    const double left = std::max(
        static_cast<double>(total - done) * elapsed / static_cast<double>(done), longestWait);
    line += ", about " + duration(left) + " left";
  }
  return line;
}

// The printed form of a finished row for the streaming formats.
std::string streamed(const CliCommand& command, const AddressResult& result) {
  if (command.format == CliFormat::csv) return csvRow(result);
  return validUtf8(result.report ? writeScanResult(*result.report)
                                 : std::string(IP_REQUIRED_REPLY)) +
         "\n";
}

// The exit status when the list cannot be read or holds no address; nothing to refuse: the rows
// to scan (no address at all means this machine's).
std::optional<int> refuseInput(const CliCommand& command, Rows& input, BulkStreams& streams) {
  const bool nagios = command.format == CliFormat::nagios;
  if (!input.error.empty()) {
    if (nagios) {
      streams.out << nagiosUnknown(input.error);
      return static_cast<int>(NagiosState::unknown);
    }
    streams.err << "velmora-scan: " << displayText(input.error) << "\n";
    return EXIT_USAGE;
  }
  if (!input.rows.empty()) return std::nullopt;
  if (command.file.empty()) {
    input.rows.push_back({"", "", "discovery"});  // no address given: this machine's
    return std::nullopt;
  }
  // A list without one address: say so, never an empty success.
  const std::string why = "no address in '" + command.file + "'";
  if (nagios) {
    streams.out << nagiosUnknown(why);
    return static_cast<int>(NagiosState::unknown);
  }
  if (command.format == CliFormat::csv) streams.out << csvHeader();
  streams.err << "velmora-scan: " << displayText(why) << "\n";
  return EXIT_NO_ADDRESS;
}

// What the workers and the printing thread share; everything but `next` under `lock`.
struct BulkRun {
  explicit BulkRun(const std::vector<AddressRow>& rows)
      : results(rows.size()), finished(rows.size()) {
    for (std::size_t i = 0; i < rows.size(); ++i) results[i].row = rows[i];
  }
  std::mutex lock;
  std::condition_variable changed;
  std::vector<AddressResult> results;
  std::vector<bool> finished;
  std::map<std::string, Held> held;  // requests held back per host, for the progress line
  std::atomic<std::size_t> next{0};
  std::size_t done = 0;
  std::optional<Verdict> worst;  // of the addresses scanned; none when no address was
};

// One worker: scans the next row not taken until none is left.
void scanRows(BulkRun& run, const CliCommand& command, const Network& shared) {
  // A bad line is scanned only for --json, whose row is the engine's answer to that text.
  const bool json = command.format == CliFormat::json;
  const std::size_t total = run.results.size();
  for (std::size_t i = run.next++; i < total; i = run.next++) {
    const AddressRow& row = run.results[i].row;
    std::optional<ScanReport> report;
    if (row.problem.empty() || json) {
      report = runScanReport(row.text, command.options, shared);
    }
    std::lock_guard<std::mutex> guard(run.lock);
    if (report && row.problem.empty()) {  // a bad line's engine answer ranks nothing
      run.worst = std::max(run.worst.value_or(Verdict::clean), report->verdict);
    }
    run.results[i].report = std::move(report);
    run.finished[i] = true;
    ++run.done;
    run.changed.notify_all();
  }
}

bool isStreaming(const CliCommand& command) {
  return command.format == CliFormat::json || command.format == CliFormat::csv;
}

// Prints the streamed rows in input order as they finish, and the progress line, until all are
// done.
void printAsDone(BulkRun& run, const CliCommand& command, BulkStreams& streams,
                 const PaceClock& clock) {
  const bool streaming = isStreaming(command);
  const std::size_t total = run.results.size();
  const auto start = std::chrono::steady_clock::now();
  std::size_t printed = 0;
  std::unique_lock<std::mutex> guard(run.lock);
  while (true) {
    std::string rows;
    while (streaming && printed < total && run.finished[printed]) {
      rows += streamed(command, run.results[printed]);
      run.results[printed].report.reset();  // printed: no need to keep it
      ++printed;
    }
    const std::size_t doneNow = run.done;
    const std::map<std::string, Held> heldNow = run.held;
    guard.unlock();
    if (streams.progress) streams.err << "\r\x1b[K" << std::flush;
    if (!rows.empty()) streams.out << rows << std::flush;
    if (doneNow == total) break;
    if (streams.progress) {
      const double elapsed =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      streams.err << progressLine(doneNow, total, elapsed, heldNow, clock.now()) << std::flush;
    }
    guard.lock();
    run.changed.wait_for(guard, std::chrono::seconds(1), [&] { return run.done != doneNow; });
  }
}

}  // namespace

int runBulk(const CliCommand& command, const Network& net, const RunPace& pace,
            BulkStreams streams) {
  Rows input = collectRows(command);
  if (const auto refused = refuseInput(command, input, streams)) return *refused;

  BulkRun run(input.rows);
  const Network shared = runNetwork(
      net, pace.clock, pace.limits,
      [&run](const std::string& host, std::optional<PaceTime> until) {
        std::lock_guard<std::mutex> guard(run.lock);
        Held& h = run.held[host];
        h.requests += until ? 1 : -1;
        if (until) h.until = std::max(h.until, *until);
      },
      pace.book);
  const std::size_t workers =
      std::min<std::size_t>(static_cast<std::size_t>(command.jobs), run.results.size());
  std::vector<std::thread> threads;
  for (std::size_t k = 0; k < workers; ++k) {
    threads.emplace_back([&] { scanRows(run, command, shared); });
  }
  if (command.format == CliFormat::csv) streams.out << csvHeader() << std::flush;
  printAsDone(run, command, streams, pace.clock);
  for (std::thread& t : threads) t.join();

  if (command.format == CliFormat::nagios) {
    const NagiosLine line = nagiosLine(run.results, command.warning, command.critical);
    streams.out << line.text;
    return static_cast<int>(line.state);
  }
  if (!isStreaming(command)) {
    streams.out << summaryReport(run.results, streams.colour, command.details);
  }
  if (command.failOn && run.worst >= command.failOn) return EXIT_FAIL_ON;
  return run.worst ? EXIT_DONE : EXIT_NO_ADDRESS;
}
