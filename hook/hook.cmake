# kibolt.dll, the activity hook library, built beside kibolt.exe and loaded by it.
add_library(kibolt_hook SHARED hook/activity_hook_win32.cpp hook/kibolt.def)
set_target_properties(kibolt_hook PROPERTIES OUTPUT_NAME kibolt PREFIX "")
target_include_directories(kibolt_hook PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(kibolt_hook PRIVATE user32)

# The program's side: loads kibolt.dll from the program's folder.
target_sources(kibolt_win32 PRIVATE hook/activity_hook_client_win32.cpp)

# kibolt.exe and the window tests load kibolt.dll from their own folder.
add_dependencies(kibolt kibolt_hook)
set(KIBOLT_HOOK_TARGET kibolt_hook)
