# velmora-checker for Linux: GTK 3 + WebKitGTK 4.1 around the page and the bridge.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VELMORA_GTK REQUIRED IMPORTED_TARGET gtk+-3.0 webkit2gtk-4.1)

# The parts that need no display, kept apart so their tests link without the web view.
add_library(velmora_linux_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/base_dir.cpp
  ${CMAKE_CURRENT_LIST_DIR}/app_icon.cpp
)
target_include_directories(velmora_linux_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmora_linux_shell PUBLIC PkgConfig::VELMORA_GTK)
# An installed checker finds its page in the data folder the build was configured for.
target_compile_definitions(velmora_linux_shell PRIVATE
  VELMORA_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/velmora-checker")

if(TARGET velmora_bridge_default)
  add_executable(velmora-checker
    ${CMAKE_CURRENT_LIST_DIR}/main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/webview_host.cpp
  )
  target_link_libraries(velmora-checker PRIVATE velmora_linux_shell velmora_bridge_default)
  install(TARGETS velmora-checker RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
