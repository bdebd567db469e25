korvane_test(tst_configtab53 SOURCES editor/tst_configtab53.cpp LIBS korvane_editor)
