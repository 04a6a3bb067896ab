#pragma once
// Answers in the services' real shapes: indentation, blanks after colons and key order matter,
// because the engine reads raw text.
#include <string>

namespace bodies {

inline const std::string IPINFO_HOME = R"({
  "ip": "198.51.100.23",
  "hostname": "c-198-51-100-23.hsd1.ca.comcast.net",
  "city": "San Jose",
  "region": "California",
  "country": "US",
  "loc": "37.3394,-121.8950",
  "org": "AS7922 Comcast Cable Communications, LLC",
  "postal": "95103",
  "timezone": "America/Los_Angeles",
  "readme": "https://ipinfo.io/missingauth"
})";

inline const std::string IPINFO_OVH = R"({
  "ip": "198.51.100.40",
  "city": "Roubaix",
  "region": "Hauts-de-France",
  "country": "FR",
  "loc": "50.6942,3.1746",
  "org": "AS16276 OVH SAS",
  "postal": "59100",
  "timezone": "Europe/Paris",
  "readme": "https://ipinfo.io/missingauth"
})";

inline const std::string IPINFO_BOGON = R"({
  "ip": "192.0.2.1",
  "bogon": true
})";

inline const std::string IPINFO_RATE_LIMIT = R"({
  "status": 429,
  "error": {
    "title": "Rate limit exceeded",
    "message": "You've hit the daily limit for the unauthenticated API.  Create an API access token by signing up to get 50k req/month."
  }
})";

inline const std::string PROXYCHECK_VPN = R"({
    "status": "ok",
    "198.51.100.150": {
        "asn": "AS9009",
        "range": "198.51.100.128/25",
        "provider": "M247 Europe SRL",
        "organisation": "M247 Europe SRL",
        "country": "Netherlands",
        "isocode": "NL",
        "city": "Amsterdam",
        "latitude": 52.374,
        "longitude": 4.8897,
        "currency": {
            "code": "EUR",
            "name": "Euro",
            "symbol": "€"
        },
        "proxy": "yes",
        "type": "VPN",
        "risk": 66
    }
})";

// A pretty-printed proxycheck answer with a chosen proxy word and risk number.
inline std::string proxycheck(const std::string& proxy, const std::string& risk) {
  return "{\n    \"status\": \"ok\",\n    \"198.51.100.23\": {\n        \"asn\": \"AS7922\",\n"
         "        \"provider\": \"Comcast Cable Communications, LLC\",\n"
         "        \"proxy\": \"" +
         proxy +
         "\",\n        \"type\": \"Residential\",\n"
         "        \"risk\": " +
         risk + "\n    }\n}";
}

inline const std::string PROXYCHECK_ERROR = R"({
    "status": "error",
    "message": "No valid IP Addresses supplied."
})";

inline const std::string IPAPI_COM_HOME = R"({"status":"success","proxy":false,"hosting":false})";
inline const std::string IPAPI_COM_HOSTING = R"({"status":"success","proxy":false,"hosting":true})";
inline const std::string IPAPI_COM_VPN = R"({"status":"success","proxy":true,"hosting":true})";
inline const std::string IPAPI_COM_FAIL =
    R"({"status":"fail","message":"reserved range","query":"192.0.2.1"})";

inline const std::string IPAPI_CO_HOME = R"({
    "ip": "198.51.100.23",
    "network": "198.51.100.0/24",
    "version": "IPv4",
    "city": "San Jose",
    "region": "California",
    "country_name": "United States",
    "in_eu": false,
    "asn": "AS7922",
    "org": "COMCAST-7922"
})";

inline const std::string IPAPI_CO_OVH = R"({
    "ip": "198.51.100.40",
    "network": "198.51.100.0/24",
    "version": "IPv4",
    "city": "Roubaix",
    "in_eu": true,
    "country_area": 547030.0,
    "asn": "AS16276",
    "org": "OVH SAS"
})";

inline const std::string IPAPI_CO_RATE_LIMIT = R"({
    "error": true,
    "reason": "RateLimited",
    "message": "Visit https://ipapi.co/ratelimited/ for details"
})";

inline const std::string DBIP_HOME = R"({
    "ipAddress": "198.51.100.23",
    "continentCode": "NA",
    "continentName": "North America",
    "countryCode": "US",
    "countryName": "United States",
    "stateProvCode": "CA",
    "stateProv": "California",
    "city": "San Jose"
})";

inline const std::string FREEIPAPI_HOME =
    R"({"ipVersion":4,"ipAddress":"198.51.100.60","latitude":52.5244,"longitude":13.4105,"countryName":"Germany","countryCode":"DE","capital":"Berlin","phoneCodes":[49],"timeZones":["Europe/Berlin","Europe/Busingen"],"zipCode":"10117","cityName":"Berlin","regionName":"Berlin","continent":"Europe","continentCode":"EU","currencies":["EUR"],"languages":["de"],"asn":"3320","asnOrganization":"Deutsche Telekom AG","isProxy":false})";

inline const std::string FREEIPAPI_PROXY =
    R"({"ipVersion":4,"ipAddress":"198.51.100.150","countryName":"Netherlands","countryCode":"NL","asn":"9009","asnOrganization":"M247 Europe SRL","isProxy":true})";

inline const std::string FREEIPAPI_PROXY_PRETTY_TRUE = R"({
    "ipAddress": "198.51.100.150",
    "asnOrganization": "Example Telecom",
    "isProxy": true
})";

inline const std::string SFS_HOME =
    R"({"success":1,"ip":{"value":"198.51.100.23","appears":0,"frequency":0}})";
inline const std::string SFS_SPAMMER =
    R"({"success":1,"ip":{"value":"203.0.113.77","appears":1,"frequency":17,"lastseen":"2025-06-14 09:21:37","asn":14061,"country":"us","confidence":79.07}})";
inline const std::string SFS_BLACKLISTED =
    R"({"success":1,"ip":{"value":"203.0.113.77","frequency":255,"appears":1,"lastseen":"2025-02-25 18:20:15","confidence":99.95,"blacklisted":1}})";

// Refusals and odd answers, as the services (and the networks in between) send them.
inline const std::string PROXYCHECK_DENIED_PROXY = R"({
    "status": "denied",
    "message": "Your access to the API has been blocked due to using a proxy server to perform your query. Please signup for an account to re-enable access by proxy."
})";
inline const std::string PROXYCHECK_DENIED_QUOTA = R"({
    "status": "denied",
    "message": "100 queries exhausted, if you sign up for a free API key you'll be able to make 1,000 free queries per day."
})";
inline const std::string PROXYCHECK_WARNING_VPN = R"({
    "status": "warning",
    "message": "You are within 10% of your query limit for the day.",
    "198.51.100.150": {
        "asn": "AS9009",
        "provider": "M247 Europe SRL",
        "proxy": "yes",
        "type": "VPN",
        "risk": 66
    }
})";
inline const std::string IPAPI_CO_RESERVED = R"({
    "ip": "192.0.2.1",
    "error": true,
    "reason": "Reserved IP Address",
    "reserved": true,
    "version": "IPv4"
})";
inline const std::string DBIP_OVER_LIMIT =
    R"({"errorCode": "OVER_QUERY_LIMIT", "error": "maximum number of queries per day exceeded"})";
inline const std::string DBIP_RESERVED = R"({
    "ipAddress": "192.0.2.1",
    "countryCode": "ZZ"
})";
inline const std::string SFS_UNAVAILABLE = R"({"success":0,"error":"unavailable"})";
inline const std::string FREEIPAPI_LIMIT = R"({"message":"Too many requests, slow down"})";
// A hotel network's answer to every plain-HTTP request.
inline const std::string LOGIN_PAGE =
    "<!DOCTYPE html>\n<html><head><title>Guest Wi-Fi</title></head><body><form action=\"/login\">"
    "Room number <input name=\"room\"> <button>Connect</button></form></body></html>\n";
// The service's web site instead of its API: full of the hosting keywords.
inline const std::string IPINFO_SITE =
    "<!doctype html><html><head><title>IP address data: VPN, proxy and hosting detection"
    "</title></head><body>Cloud server and data center ranges</body></html>";
inline const std::string TOR_BLOCK_PAGE =
    "<html><body><h1>Access denied</h1><p>Blocked by policy. Your address: 198.51.100.70</p>"
    "</body></html>\n";

inline const std::string TOR_LIST = "198.51.100.70\n203.0.113.9\n198.51.100.150\n";

}  // namespace bodies
