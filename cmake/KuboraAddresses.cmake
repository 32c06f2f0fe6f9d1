# Addresses that name people or places outside the source: set by whoever publishes the packages when
# configuring. The project holds no domain, so by default it names none that could reach a stranger:
# no homepage, bug tracker or screenshot, and a maintainer under the reserved .invalid name (RFC 2606).
# A build folder configured before holds the address the project once invented as its default: it goes.
if(KUBORA_MAINTAINER STREQUAL "The Kubora developers <developers@kubora.org>")
  unset(KUBORA_MAINTAINER CACHE)
endif()
set(KUBORA_MAINTAINER "The Kubora developers <developers@kubora.invalid>"
    CACHE STRING "Maintainer of the packages make package builds (\"Name <address>\")")
set(KUBORA_HOMEPAGE "" CACHE STRING "Home page of the game (a URL; none when empty)")
set(KUBORA_BUG_URL "" CACHE STRING "Where users report bugs (a URL, mailto: allowed; none when empty)")
set(KUBORA_SCREENSHOT_URL "" CACHE STRING "URL of a 1024x768 PNG screenshot for software centres (none when empty)")

# The AppStream file takes the addresses that are set, and its release is the project's version on the
# date of the latest debian/changelog entry (" -- Name <address>  Tue, 08 Dec 2026 12:00:00 +0000").
set(changelog ${PROJECT_SOURCE_DIR}/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(STRINGS ${changelog} trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT trailer MATCHES ">  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "${changelog}: the latest entry has no date line (\" -- Name <address>  Day, DD Mon YYYY ...\")")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH ${month} digits)
if(digits EQUAL 1)
  set(month 0${month})
endif()
set(KUBORA_RELEASE_DATE ${year}-${month}-${day})

set(KUBORA_METAINFO_URLS "")
if(KUBORA_HOMEPAGE)
  string(APPEND KUBORA_METAINFO_URLS "\n  <url type=\"homepage\">${KUBORA_HOMEPAGE}</url>")
endif()
if(KUBORA_BUG_URL)
  string(APPEND KUBORA_METAINFO_URLS "\n  <url type=\"bugtracker\">${KUBORA_BUG_URL}</url>")
endif()
set(KUBORA_METAINFO_SCREENSHOTS "")
if(KUBORA_SCREENSHOT_URL)
  set(KUBORA_METAINFO_SCREENSHOTS "
  <screenshots>
    <screenshot type=\"default\">
      <caption>A match after a few turns: red, green and yellow have spread from their corners</caption>
      <image type=\"source\" width=\"1024\" height=\"768\">${KUBORA_SCREENSHOT_URL}</image>
    </screenshot>
  </screenshots>")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/org.kubora.kubora.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/org.kubora.kubora.metainfo.xml @ONLY)
