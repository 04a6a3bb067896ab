#pragma once
// Why a question got no answer: one list for every platform's HTTP client and resolver, each of
// which maps its own error codes onto it, and the one wording of each kind that reports show.
#include <string>

enum class Failure {
  timeOut,
  // HTTP
  clientUnavailable,
  hostNotFound,
  noConnection,
  connectionCut,
  notHttp,
  brokenChunkedBody,
  brokenBodyEncoding,
  certificateRejected,
  tlsFailure,
  tooManyRedirects,
  redirectRefused,
  bodyTooLarge,
  // DNS
  noResolver,
  serverUnreachable,
  serverFailure,
  refusedByList,
  formatError,
  temporaryFailure,
  malformedQueryName,
  malformedAnswer,
  truncatedAnswer,
  truncatedNoTcp,
  anotherQuestion,
  anotherType,
  socketsNotStarted,
  noAnswer,
};

// The short words of a kind (at most 60 bytes), the same on every platform.
std::string failureWords(Failure failure);
