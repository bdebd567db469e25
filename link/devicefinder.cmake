target_sources(korvane_link PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/devicefinder.cpp ${CMAKE_CURRENT_LIST_DIR}/devicefinder.h)
