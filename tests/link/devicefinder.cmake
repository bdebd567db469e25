if(TARGET korvane_sim)
    korvane_test(tst_devicefinder SOURCES link/tst_devicefinder.cpp LIBS korvane_link korvane_sim)
endif()
