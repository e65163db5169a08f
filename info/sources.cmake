set(INFO_CORE_SOURCES info/info.cpp)
