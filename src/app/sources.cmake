if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/app/RestwellApp.cpp)
endif()
