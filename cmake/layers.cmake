# The layers of the source and what each may include, enforced by include paths.
#
#   app/                    main, command line, session, sweep, window mode
#    |-> shell/             the project description: names the forms and the layout
#    |     -> layout/       the main window's layout pass and menu commands
#    |          -> forms/   the child forms' own handlers
#    |               -> runtime/    the forms runtime
#    |-> runtime/headless/  the window system in memory  -> runtime/
#    |-> runtime/qt/        the window system on Qt 6    -> runtime/
#    '-> runtime/win32/     the window system on Win32   -> runtime/   (Windows only)
#
# The window systems implement runtime/'s WindowSystem interface and sit beside the program's
# own layers, not under them: only app/ picks one. A layer's targets see the headers of its
# own folder and of the folders below it, whatever they link, through a folder of links
# made for the layer in the build tree; the include strings keep naming the source folders
# ("runtime/form.h"). Only runtime/qt/ and app/ link Qt. Tests, benchmarks and fuzz targets
# see the whole tree.
#
# Every target of ours calls
#   mdiresize_layer(<target> <layer>)
# with <layer> one of runtime, headless, qt, win32, forms, layout, shell, app or tests; that also
# gives it the project's warnings (mdiresize_warnings). A new folder becomes a layer with one
# set(mdiresize_layer_<name> <its folder> <folders below>) line here.

set(mdiresize_layer_runtime runtime)
set(mdiresize_layer_headless runtime/headless runtime)
set(mdiresize_layer_qt runtime/qt runtime)
set(mdiresize_layer_win32 runtime/win32 runtime)
set(mdiresize_layer_forms forms runtime)
set(mdiresize_layer_layout layout forms runtime)
set(mdiresize_layer_shell shell layout forms runtime)
set(mdiresize_layer_app app shell layout forms runtime runtime/headless runtime/qt runtime/win32)

# The warnings every target of ours is built with; third-party headers come in as system
# headers and stay out of them.
add_library(mdiresize_warnings INTERFACE)
target_compile_options(mdiresize_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  $<$<BOOL:${MDIRESIZE_WERROR}>:-Werror>)

function(mdiresize_layer target layer)
  target_link_libraries(${target} PRIVATE $<BUILD_INTERFACE:mdiresize_warnings>)
  if(layer STREQUAL "tests")
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    return()
  endif()
  if(NOT DEFINED mdiresize_layer_${layer})
    message(FATAL_ERROR "mdiresize_layer(${target} ${layer}): no such layer")
  endif()
  # Links to single headers, not to folders: runtime/ holds the window systems' folders, which
  # the layers above it must not see.
  set(root ${PROJECT_BINARY_DIR}/layers/${layer})
  get_property(made GLOBAL PROPERTY mdiresize_layer_${layer}_made)
  if(NOT made)
    set_property(GLOBAL PROPERTY mdiresize_layer_${layer}_made TRUE)
    file(REMOVE_RECURSE ${root})
    foreach(folder IN LISTS mdiresize_layer_${layer})
      file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
           ${PROJECT_SOURCE_DIR}/${folder}/*.h)
      foreach(header IN LISTS headers)
        get_filename_component(dir ${root}/${header} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${root}/${header} SYMBOLIC)
      endforeach()
    endforeach()
  endif()
  # PRIVATE: a library's consumers see what their own layer lets them see, not what it sees.
  target_include_directories(${target} PRIVATE ${root})
endfunction()
