target_sources(restwell_core PRIVATE
  src/settings/SettingsStore.cpp
  src/settings/SettingsCatalog.cpp
  src/settings/BreakChoice.cpp
  src/settings/AppSettings.cpp
  src/settings/UnsavedSettings.cpp)
if(WIN32)
  # The Options sheet's pages.
  target_sources(restwell_shell PRIVATE
    src/settings/OptionsPage.cpp
    src/settings/OptGeneral.cpp
    src/settings/OptCommercial.cpp
    src/settings/OptCompatibility.cpp)
endif()
