#include "net/dns_message.h"

#include <cctype>
#include <optional>

#include "net/failure.h"

namespace {

constexpr std::size_t HEADER_BYTES = 12;
constexpr std::uint16_t TYPE_A = 1;
constexpr std::uint16_t TYPE_CNAME = 5;
constexpr std::uint16_t CLASS_IN = 1;
constexpr std::uint16_t FLAG_QR = 0x8000;
constexpr std::uint16_t FLAG_TC = 0x0200;
constexpr std::uint16_t OPCODE_MASK = 0x7800;
// Longer chains of compression pointers than this are a loop.
constexpr int MAX_JUMPS = 64;

std::uint16_t read16(const DnsMessage& m, std::size_t at) {
  return static_cast<std::uint16_t>(m[at] << 8 | m[at + 1]);
}

void put16(DnsMessage& m, std::uint16_t value) {
  m.push_back(static_cast<std::uint8_t>(value >> 8));
  m.push_back(static_cast<std::uint8_t>(value & 0xff));
}

// The name at `at`, lower-cased, compression pointers followed; `end` is set past its first
// form in the message. Nothing for a name that runs off the message or loops.
std::optional<std::string> readName(const DnsMessage& m, std::size_t at, std::size_t& end) {
  std::string name;
  bool jumped = false;
  for (int jumps = 0; jumps <= MAX_JUMPS;) {
    if (at >= m.size()) return std::nullopt;
    const std::uint8_t length = m[at];
    if ((length & 0xc0) == 0xc0) {
      if (at + 1 >= m.size()) return std::nullopt;
      if (!jumped) end = at + 2;
      jumped = true;
      at = static_cast<std::size_t>((length & 0x3f) << 8 | m[at + 1]);
      ++jumps;
      continue;
    }
    if (length & 0xc0) return std::nullopt;  // the reserved label kinds
    if (length == 0) {
      if (!jumped) end = at + 1;
      return name;
    }
    if (at + 1 + length > m.size()) return std::nullopt;
    if (!name.empty()) name += '.';
    for (std::size_t i = at + 1; i <= at + length; ++i) {
      name += static_cast<char>(std::tolower(m[i]));
    }
    at += 1 + length;
  }
  return std::nullopt;
}

DnsAnswerA failed(std::string reason) {
  DnsAnswerA answer;
  answer.reason = std::move(reason);
  return answer;
}

std::optional<DnsAnswerA> readRcode(std::uint16_t flags) {
  DnsAnswerA answer;
  switch (flags & 0x000f) {
    case 0:
      return std::nullopt;
    case 1:
      return failed(failureWords(Failure::formatError));
    case 2:
      return failed(failureWords(Failure::serverFailure));
    case 3:
      answer.kind = DnsAnswerA::Kind::noSuchName;
      return answer;
    case 5:
      return failed("refused by the server");
    default:
      return failed("DNS error " + std::to_string(flags & 0x000f));
  }
}

// The one question of a message: its name, then type and class; `end` is set past it.
std::optional<std::string> readQuestion(const DnsMessage& m, std::size_t& end) {
  if (m.size() < HEADER_BYTES || read16(m, 4) != 1) return std::nullopt;
  std::optional<std::string> name = readName(m, HEADER_BYTES, end);
  if (!name || end + 4 > m.size()) return std::nullopt;
  // Appended piece by piece: a temporary joined with '+' trips GCC 12's -Wrestrict at -O3.
  for (const std::size_t at : {end, end + 2}) {
    name->push_back('/');
    name->append(std::to_string(read16(m, at)));
  }
  end += 4;
  return name;
}

// The answer section's records, from `at`.
DnsAnswerA readRecords(const DnsMessage& m, std::size_t at, std::uint16_t count) {
  DnsAnswerA answer;
  answer.kind = DnsAnswerA::Kind::answer;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (!readName(m, at, at) || at + 10 > m.size())
      return failed(failureWords(Failure::malformedAnswer));
    const std::uint16_t type = read16(m, at);
    const std::uint16_t rclass = read16(m, at + 2);
    const std::uint16_t length = read16(m, at + 8);
    at += 10;
    if (at + length > m.size()) return failed(failureWords(Failure::malformedAnswer));
    DnsRecord record;
    if (type == TYPE_A && rclass == CLASS_IN && length == 4) {
      record.kind = DnsRecord::Kind::a;
      record.address = {m[at], m[at + 1], m[at + 2], m[at + 3]};
    } else if (type == TYPE_CNAME && rclass == CLASS_IN) {
      record.kind = DnsRecord::Kind::cname;
    }
    answer.records.push_back(record);
    at += length;
  }
  return answer;
}

}  // namespace

DnsMessage dnsQueryA(const std::string& name, std::uint16_t id) {
  if (!isWellFormedQueryName(name)) return {};
  DnsMessage m;
  put16(m, id);
  put16(m, 0);  // a standard query; RD left off: the server answers from its own data
  put16(m, 1);
  for (int i = 0; i < 3; ++i) put16(m, 0);
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t dot = name.find('.', start);
    if (dot == std::string::npos) dot = name.size();
    m.push_back(static_cast<std::uint8_t>(dot - start));
    m.insert(m.end(), name.begin() + static_cast<std::ptrdiff_t>(start),
             name.begin() + static_cast<std::ptrdiff_t>(dot));
    start = dot + 1;
  }
  m.push_back(0);
  put16(m, TYPE_A);
  put16(m, CLASS_IN);
  return m;
}

std::uint16_t dnsMessageId(const DnsMessage& message) {
  return message.size() < 2 ? 0 : read16(message, 0);
}

DnsAnswerA readDnsAnswerA(const DnsMessage& query, const DnsMessage& reply) {
  if (reply.size() < HEADER_BYTES) return failed(failureWords(Failure::malformedAnswer));
  const std::uint16_t flags = read16(reply, 2);
  if (dnsMessageId(reply) != dnsMessageId(query) || !(flags & FLAG_QR) || (flags & OPCODE_MASK)) {
    return failed(failureWords(Failure::anotherQuestion));
  }
  if (flags & FLAG_TC) {
    DnsAnswerA truncated;
    truncated.kind = DnsAnswerA::Kind::truncated;
    return truncated;
  }
  std::size_t asked = 0;
  std::size_t end = 0;
  const std::optional<std::string> question = readQuestion(reply, end);
  if (!question || question != readQuestion(query, asked)) {
    return failed(failureWords(Failure::anotherQuestion));
  }
  if (std::optional<DnsAnswerA> error = readRcode(flags)) return *error;
  const std::uint16_t count = read16(reply, 6);
  if (count == 0) {
    DnsAnswerA none;
    none.kind = DnsAnswerA::Kind::noSuchName;
    return none;
  }
  return readRecords(reply, end, count);
}

LookupResult dnsblResultOf(const DnsAnswerA& answer) {
  switch (answer.kind) {
    case DnsAnswerA::Kind::noSuchName:
      return clearResult();
    case DnsAnswerA::Kind::truncated:
      return failedResult(failureWords(Failure::truncatedAnswer));
    case DnsAnswerA::Kind::failed:
      return failedResult(answer.reason);
    case DnsAnswerA::Kind::answer:
      break;
  }
  return dnsblAnswerOf(answer.records);
}
