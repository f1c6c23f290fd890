target_sources(restwell_core PRIVATE
  src/app/ResourceString.cpp)
