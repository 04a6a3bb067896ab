# The drawn window icons (GDI+ into a 32-bit DIB).
add_library(velmora_icon STATIC ${CMAKE_CURRENT_LIST_DIR}/app_icon.cpp)
target_include_directories(velmora_icon PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(velmora_icon PUBLIC gdiplus gdi32 user32)
