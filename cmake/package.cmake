# The Debian package, made by CPack from the install rules (cpack --preset deb, after a build of
# the deb preset, which installs to /usr). Its dependencies are computed from the programs by
# dpkg-shlibdeps, not written here.
set(VELMORA_HOMEPAGE "https://velmora.org" CACHE STRING
    "The project's web address; the AppStream screenshot is <address>/docs/screenshot.png")
set(VELMORA_MAINTAINER_EMAIL "packages@velmora.org" CACHE STRING
    "The Debian package's maintainer address")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-checker)
set(CPACK_PACKAGE_VENDOR "The Velmora Checker developers")
set(CPACK_PACKAGE_CONTACT "Velmora Checker developers <${VELMORA_MAINTAINER_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "how clean an IPv4 address looks to public reputation sources")
# The extended description as the control file shows it: lines of at most 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Velmora Checker asks sixteen public sources about an IPv4 address: an IP echo,\n"
  "a geolocation service, six web reputation services, the Tor exit list, five DNS\n"
  "blocklists, reverse DNS and the machine's proxy settings. It adds fixed weights\n"
  "into a 0-100 risk score and gives a verdict: Clean, Watchlist, Suspicious or\n"
  "High risk. A source that could not be asked is shown as unknown, never as\n"
  "clean.\n"
  "\n"
  "This package holds the desktop checker (velmora-checker) and the same scan on\n"
  "the command line (velmora-scan).")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # velmora-checker_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELMORA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# HTTPS lookups need the certificate store, and the desktop's proxy settings GIO's resolver
# modules; no library dependency brings either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, glib-networking")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/deb)
include(CPack)
