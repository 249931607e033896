# wxWidgets 3.2 has no imported target in CMake 3.25: wrap its variables.
find_package(wxWidgets REQUIRED COMPONENTS core base xml net html adv)
add_library(wx_gui INTERFACE)
target_include_directories(wx_gui SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(wx_gui INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(wx_gui INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(wx_gui INTERFACE ${wxWidgets_LIBRARIES})

find_package(PkgConfig REQUIRED)
pkg_check_modules(WXSQLITE3 REQUIRED IMPORTED_TARGET wxsqlite3-3.2)
find_package(SQLite3 REQUIRED)
find_package(BZip2 REQUIRED)
find_package(Threads REQUIRED)
