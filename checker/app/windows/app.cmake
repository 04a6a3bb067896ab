# velmora-checker.exe: the Win32 window and WebView2 host around the portable bridge.
enable_language(RC)

# Everything but the entry point, so the tests can link the same code.
add_library(velmora_winapp STATIC
  ${CMAKE_CURRENT_LIST_DIR}/app_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_bridge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/webview_host.cpp
  ${CMAKE_CURRENT_LIST_DIR}/webview_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_proc.cpp
)
target_include_directories(velmora_winapp PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmora_winapp PUBLIC
  velmora_bridge velmora_engine
  ole32 shell32 shlwapi advapi32 user32 ws2_32 uuid)

add_executable(velmora-checker WIN32
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/velmora-checker.rc
)
# The .rc names the manifest relative to itself.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/velmora-checker.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/velmora-checker.manifest)
target_link_options(velmora-checker PRIVATE -municode)
target_link_libraries(velmora-checker PRIVATE velmora_winapp velmora_icon dwmapi gdiplus gdi32)
