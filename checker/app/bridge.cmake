# velmora_bridge: the page bridge, free of any window (its tests link only the core and fakes).
# velmora_bridge_default: the work the programs give it, over the real network.
find_package(Threads REQUIRED)
add_library(velmora_bridge STATIC ${CMAKE_CURRENT_LIST_DIR}/bridge.cpp)
target_link_libraries(velmora_bridge PUBLIC velmora_core)

if(TARGET velmora_engine)
  add_library(velmora_bridge_default STATIC ${CMAKE_CURRENT_LIST_DIR}/bridge_default.cpp)
  target_link_libraries(velmora_bridge_default PUBLIC velmora_bridge velmora_engine)
endif()
