target_sources(restwell_core PRIVATE
  src/core/ResourceString.cpp
  src/core/UiLanguage.cpp
  src/core/VendorSite.cpp
  src/core/WebAddress.cpp)
