include_guard(GLOBAL)
# The device window and its tabs join the editor library. The window talks to
# registers through the link and uses the shell's dialogs, registry and
# progress dialog; the main window opens it.
target_sources(korvane_editor PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/configtabbase.cpp ${CMAKE_CURRENT_LIST_DIR}/configtabbase.h
    ${CMAKE_CURRENT_LIST_DIR}/configtab52.cpp ${CMAKE_CURRENT_LIST_DIR}/configtab52.h
    ${CMAKE_CURRENT_LIST_DIR}/configtab53.cpp ${CMAKE_CURRENT_LIST_DIR}/configtab53.h
    ${CMAKE_CURRENT_LIST_DIR}/positionlistmodel.cpp ${CMAKE_CURRENT_LIST_DIR}/positionlistmodel.h
    ${CMAKE_CURRENT_LIST_DIR}/positiontab.cpp ${CMAKE_CURRENT_LIST_DIR}/positiontab.h
    ${CMAKE_CURRENT_LIST_DIR}/depttablemodel.cpp ${CMAKE_CURRENT_LIST_DIR}/depttablemodel.h
    ${CMAKE_CURRENT_LIST_DIR}/depttab.cpp ${CMAKE_CURRENT_LIST_DIR}/depttab.h
    ${CMAKE_CURRENT_LIST_DIR}/designtab.cpp ${CMAKE_CURRENT_LIST_DIR}/designtab.h
    ${CMAKE_CURRENT_LIST_DIR}/usertablemodel53.cpp ${CMAKE_CURRENT_LIST_DIR}/usertablemodel53.h
    ${CMAKE_CURRENT_LIST_DIR}/usertab53.cpp ${CMAKE_CURRENT_LIST_DIR}/usertab53.h
    ${CMAKE_CURRENT_LIST_DIR}/orgtab53.cpp ${CMAKE_CURRENT_LIST_DIR}/orgtab53.h
    ${CMAKE_CURRENT_LIST_DIR}/ofdtab53.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdtab53.h
    ${CMAKE_CURRENT_LIST_DIR}/registrationtab53.cpp ${CMAKE_CURRENT_LIST_DIR}/registrationtab53.h
    ${CMAKE_CURRENT_LIST_DIR}/usertablemodel52.cpp ${CMAKE_CURRENT_LIST_DIR}/usertablemodel52.h
    ${CMAKE_CURRENT_LIST_DIR}/usertab52.cpp ${CMAKE_CURRENT_LIST_DIR}/usertab52.h
    ${CMAKE_CURRENT_LIST_DIR}/orgtab52.cpp ${CMAKE_CURRENT_LIST_DIR}/orgtab52.h
    ${CMAKE_CURRENT_LIST_DIR}/ofdtab52.cpp ${CMAKE_CURRENT_LIST_DIR}/ofdtab52.h
    ${CMAKE_CURRENT_LIST_DIR}/registrationtablemodel52.cpp ${CMAKE_CURRENT_LIST_DIR}/registrationtablemodel52.h
    ${CMAKE_CURRENT_LIST_DIR}/registrationtab52.cpp ${CMAKE_CURRENT_LIST_DIR}/registrationtab52.h
    ${CMAKE_CURRENT_LIST_DIR}/devicewindow.cpp ${CMAKE_CURRENT_LIST_DIR}/devicewindow.h)
target_link_libraries(korvane_editor PUBLIC korvane_app korvane_link)
target_link_libraries(korvane_app PUBLIC korvane_editor)
# The goods window opens from the device window.
target_link_libraries(korvane_editor PUBLIC korvane_goodswindow)
