# Compiles binary files into the program: each file becomes a byte array registered
# under its name (without directory), found at run time through resources/embedded.h.
function(dralvo_embed_files target)
  set(out_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target}_data.cpp")
  add_custom_command(
    OUTPUT "${out_cpp}"
    COMMAND ${CMAKE_COMMAND} -DOUT=${out_cpp} "-DFILES=${ARGN}"
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    DEPENDS ${ARGN} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
    VERBATIM)
  target_sources(${target} PRIVATE "${out_cpp}")
endfunction()
