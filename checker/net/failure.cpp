#include "net/failure.h"

std::string failureWords(Failure failure) {
  switch (failure) {
    case Failure::timeOut:
      return "time-out";
    case Failure::clientUnavailable:
      return "HTTP client unavailable";
    case Failure::hostNotFound:
      return "host not found";
    case Failure::noConnection:
      return "no connection";
    case Failure::connectionCut:
      return "connection cut";
    case Failure::notHttp:
      return "not an HTTP answer";
    case Failure::brokenChunkedBody:
      return "broken chunked body";
    case Failure::brokenBodyEncoding:
      return "broken body encoding";
    case Failure::certificateRejected:
      return "certificate rejected";
    case Failure::tlsFailure:
      return "TLS failure";
    case Failure::tooManyRedirects:
      return "too many redirects";
    case Failure::redirectRefused:
      return "redirect refused";
    case Failure::bodyTooLarge:
      return "body too large";
    case Failure::noResolver:
      return "no resolver";
    case Failure::serverUnreachable:
      return "DNS server unreachable";
    case Failure::serverFailure:
      return "server failure";
    case Failure::refusedByList:
      return "refused by the list";
    case Failure::formatError:
      return "format error (FORMERR)";
    case Failure::temporaryFailure:
      return "temporary DNS failure";
    case Failure::malformedQueryName:
      return "malformed query name";
    case Failure::malformedAnswer:
      return "malformed answer";
    case Failure::truncatedAnswer:
      return "truncated answer";
    case Failure::truncatedNoTcp:
      return "truncated answer, none over TCP";
    case Failure::anotherQuestion:
      return "answer to another question";
    case Failure::anotherType:
      return "answer of another type or class";
    case Failure::socketsNotStarted:
      return "sockets not started";
    case Failure::noAnswer:
      return "no answer";
  }
  return "no answer";
}
