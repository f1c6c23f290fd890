# The text form of exchanged integers is portable (tested natively); the rest is Win32.
target_sources(restwell_core PRIVATE
  src/framework/IntegerText.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/framework/Application.cpp
    src/framework/DataExchange.cpp
    src/framework/Dpi.cpp
    src/framework/Dialog.cpp
    src/framework/PropertyPage.cpp
    src/framework/ResourceLanguage.cpp
    src/framework/Sheet.cpp
    src/framework/Window.cpp)
endif()
