# Puts a module's compiled resources where the host looks for them.
#
# On Windows the resource script is linked into the DLL as usual. Elsewhere it is
# compiled into a 32-bit .res file and added to the module file as the section
# ".rsrc", which the host reads from the module's own file, as the Windows loader
# finds the resources of a DLL.
find_program(LUMARO_WINDRES NAMES i686-w64-mingw32-windres windres)
find_program(LUMARO_OBJCOPY NAMES objcopy)

# lumaro_compile_resources(RCFILE RESFILE [INCLUDE_DIR...]): headers are also
# looked for in the INCLUDE_DIRs (generated ones).
function(lumaro_compile_resources rcfile resfile)
  if(NOT LUMARO_WINDRES)
    message(FATAL_ERROR "lumaro_compile_resources: no resource compiler (windres) found")
  endif()
  get_filename_component(rc_path ${rcfile} ABSOLUTE)
  get_filename_component(rc_dir ${rc_path} DIRECTORY)
  # What the script pulls in: its headers and the pictures beside it.
  file(GLOB rc_inputs CONFIGURE_DEPENDS ${rc_dir}/*.h ${rc_dir}/*.png)
  set(extra_includes)
  foreach(dir ${ARGN})
    list(APPEND extra_includes --include-dir=${dir})
    file(GLOB dir_headers ${dir}/*.h)
    list(APPEND rc_inputs ${dir_headers})
  endforeach()
  add_custom_command(
    OUTPUT ${resfile}
    COMMAND ${LUMARO_WINDRES} --input-format=rc --output-format=res
            --include-dir=${rc_dir} ${extra_includes} -i ${rc_path} -o ${resfile}
    DEPENDS ${rc_path} ${rc_inputs}
    COMMENT "Compiling resources ${rcfile}"
    VERBATIM)
endfunction()

# lumaro_embed_resources(TARGET RCFILE [INCLUDE_DIR...])
function(lumaro_embed_resources target rcfile)
  if(WIN32)
    target_sources(${target} PRIVATE ${rcfile})
    if(ARGN)
      target_include_directories(${target} PRIVATE ${ARGN})
    endif()
    return()
  endif()
  if(NOT LUMARO_OBJCOPY)
    message(FATAL_ERROR "lumaro_embed_resources: objcopy not found")
  endif()
  set(resfile ${CMAKE_CURRENT_BINARY_DIR}/${target}.res)
  lumaro_compile_resources(${rcfile} ${resfile} ${ARGN})
  add_custom_target(${target}_resources DEPENDS ${resfile})
  add_dependencies(${target} ${target}_resources)
  # Relinking rewrites the module, so the section is added after every link.
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${LUMARO_OBJCOPY} --add-section .rsrc=${resfile}
            --set-section-flags .rsrc=noload,readonly $<TARGET_FILE:${target}>
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${resfile})
endfunction()
