korvane_test(tst_configtab53 SOURCES editor/tst_configtab53.cpp LIBS korvane_editor)
korvane_test(tst_configtab52 SOURCES editor/tst_configtab52.cpp LIBS korvane_editor)
korvane_test(tst_tabs52 SOURCES editor/tst_tabs52.cpp editor/tableediting.h LIBS korvane_editor)
if(TARGET korvane_sim)
    korvane_test(tst_devicewindow SOURCES editor/tst_devicewindow.cpp
                 LIBS korvane_editor korvane_link korvane_sim)
    korvane_test(tst_window53 SOURCES editor/tst_window53.cpp
                 LIBS korvane_editor korvane_link korvane_sim)
    korvane_test(tst_devicewindow52 SOURCES editor/tst_devicewindow52.cpp editor/tableediting.h
                 LIBS korvane_editor korvane_link korvane_sim)
endif()
korvane_test(tst_sharedtabs SOURCES editor/tst_sharedtabs.cpp LIBS korvane_editor)
korvane_test(tst_tabs53 SOURCES editor/tst_tabs53.cpp LIBS korvane_editor)
