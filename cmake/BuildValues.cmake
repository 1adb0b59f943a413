# Every address and account the program uses is a value of the build, never read at run time.
# The defaults point at the local demo server (tools/lumivo-demo) so that a fresh build plays
# something; placeholder hosts under .invalid stand for outside sites we cannot reach from here.
set(LUMIVO_CONTENT_SERVER "http://127.0.0.1:8617" CACHE STRING
    "Content server base URL: scheme, host, optional port, no trailing slash")
set(LUMIVO_PORTAL_SERVER "http://127.0.0.1:8617" CACHE STRING
    "Portal server base URL serving /3tv/, no trailing slash")
set(LUMIVO_WEBTV_PAGE_SERVER "http://webtv-player.example.invalid" CACHE STRING
    "Host of the web-TV player page /cctv/cctvplayer.html, no trailing slash")
set(LUMIVO_CHAT_ROOM_URL "http://chat.example.invalid/510.swf" CACHE STRING "Chat-room object (a Flash movie loaded as the document)")
set(LUMIVO_MUSIC_BOX_URL "http://music.example.invalid/" CACHE STRING "Web music player, its host's root page")
set(LUMIVO_YISHI_URL "http://yishi.example.invalid/live/" CACHE STRING "Live page of the web-TV site")
set(LUMIVO_HOME_PAGE_URL "http://www.lumivo.example.invalid/" CACHE STRING "Maker's home page")
set(LUMIVO_PRODUCT_SITE_URL "http://tv.lumivo.example.invalid/" CACHE STRING "Product web site")
set(LUMIVO_BARGAIN_URL "http://deals.example.invalid/" CACHE STRING "Bargain page")
set(LUMIVO_MOVIE_SITE_URL "http://movies.example.invalid/" CACHE STRING "Movie site")
set(LUMIVO_SUPPORT_QQ "10000" CACHE STRING "Support QQ account number")
set(LUMIVO_SUPPORT_EMAIL "support@lumivo.example.invalid" CACHE STRING "Maker's e-mail address")

foreach(url LUMIVO_CONTENT_SERVER LUMIVO_PORTAL_SERVER LUMIVO_WEBTV_PAGE_SERVER)
  if(NOT "${${url}}" MATCHES "^https?://[^/]+$")
    message(FATAL_ERROR "${url} must be scheme://host[:port] without a path or trailing slash, got '${${url}}'")
  endif()
endforeach()
if(NOT LUMIVO_SUPPORT_QQ MATCHES "^[0-9]+$")
  message(FATAL_ERROR "LUMIVO_SUPPORT_QQ must be digits, got '${LUMIVO_SUPPORT_QQ}'")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/LumivoBuildValues.h.in
               ${CMAKE_BINARY_DIR}/generated/LumivoBuildValues.h @ONLY)
add_library(lumivo_build_values INTERFACE)
target_include_directories(lumivo_build_values INTERFACE ${CMAKE_BINARY_DIR}/generated)
