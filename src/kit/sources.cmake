target_sources(restwell_core PRIVATE
  src/kit/KitText.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/kit/ImagePlus.cpp
    src/kit/ControlsPlus.cpp
    src/kit/PagesPlus.cpp
    src/kit/EditBrowsePlus.cpp
    src/kit/WizardBase.cpp)
endif()
