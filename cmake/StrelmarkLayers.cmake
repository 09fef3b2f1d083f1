# The layers of the program, checked when the build is configured.
#
#   strelmark (the program)  -> cli
#   window module            -> app
#   app (strelmark_window)   -> filelist_view, engine, undo, samples, filelist, base
#   cli                      -> engine, undo, filelist, base
#   filelist_view            -> filelist, base
#   samples                  -> filelist, base
#   engine                   -> text, files, base
#   undo                     -> files, posix
#   text                     -> files
#   filelist                 -> base
#   files                    -> posix
#   posix                    -> (no Qt)
#   base                     -> (Qt Core only)
#
# The program itself is Qt Core only: the window, with Qt Gui and Widgets, is a module that it
# loads when it shows the window, so that the command line starts without them.
#
# strelmark_check_layers() fails the configuration when a target links one of the program's
# libraries that is not below it, when one of its sources includes a header of such a library
# (includes name their folder: "files/AtomicFile.h"), or when a target that must do without
# widgets reaches Qt Gui or Qt Widgets through any chain of links.

set(STRELMARK_LAYERS
  strelmark_base strelmark_posix strelmark_files strelmark_text strelmark_undo strelmark_engine
  strelmark_filelist strelmark_samples strelmark_filelist_view strelmark_window strelmark_cli
  strelmark strelmark_window_module)

# The program's libraries each library may link directly, and whose headers it may include.
set(STRELMARK_MAY_LINK_strelmark_base strelmark_posix)
set(STRELMARK_MAY_LINK_strelmark_posix "")
set(STRELMARK_MAY_LINK_strelmark_files strelmark_posix)
set(STRELMARK_MAY_LINK_strelmark_text strelmark_files)
set(STRELMARK_MAY_LINK_strelmark_undo strelmark_files strelmark_posix)
set(STRELMARK_MAY_LINK_strelmark_engine strelmark_text strelmark_files strelmark_base)
set(STRELMARK_MAY_LINK_strelmark_filelist strelmark_base)
set(STRELMARK_MAY_LINK_strelmark_samples strelmark_filelist strelmark_base)
set(STRELMARK_MAY_LINK_strelmark_filelist_view strelmark_filelist strelmark_base)
set(STRELMARK_MAY_LINK_strelmark_window
  strelmark_filelist_view strelmark_engine strelmark_undo strelmark_samples strelmark_filelist
  strelmark_base)
set(STRELMARK_MAY_LINK_strelmark_cli
  strelmark_engine strelmark_undo strelmark_filelist strelmark_base)
set(STRELMARK_MAY_LINK_strelmark strelmark_cli)
set(STRELMARK_MAY_LINK_strelmark_window_module strelmark_window)

# Headers a library includes beyond those of the libraries it links, each with its reason.
# The window module starts the window: the start-up routines and the settings it hands over.
set(STRELMARK_MAY_INCLUDE_strelmark_window_module strelmark_base)
# The window and the command line run files through the engine alone; they name the operation
# table and the line marks (text) for their captions, names and the preview's marks, and the
# window the record a run writes (files/ReplacementJournal.h) and a file error it shows.
set(STRELMARK_MAY_INCLUDE_strelmark_window strelmark_text strelmark_files)
set(STRELMARK_MAY_INCLUDE_strelmark_cli strelmark_text)

# The targets that link Qt Core and nothing above it.
set(STRELMARK_WITHOUT_WIDGETS
  strelmark_base strelmark_posix strelmark_files strelmark_text strelmark_undo strelmark_engine
  strelmark_filelist strelmark_samples strelmark_cli strelmark)
set(STRELMARK_WIDGET_LIBRARIES Qt6::Gui Qt6::Widgets)

# The targets named by a list of link items: generator expressions opened up, markers and plain
# linker flags left out, aliases resolved.
function(_strelmark_link_targets items out)
  set(targets)
  foreach(item IN LISTS items)
    # $<LINK_ONLY:x> and the like: look at the names inside.
    string(REGEX MATCHALL "[A-Za-z0-9_.+-]+(::[A-Za-z0-9_.+-]+)*" names "${item}")
    foreach(name IN LISTS names)
      if(TARGET "${name}")
        get_target_property(aliased "${name}" ALIASED_TARGET)
        if(aliased)
          set(name "${aliased}")
        endif()
        list(APPEND targets "${name}")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES targets)
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# The targets that `target` links directly: its own link list and its usage requirements.
function(_strelmark_direct_links target out)
  get_target_property(imported "${target}" IMPORTED)
  get_target_property(type "${target}" TYPE)
  set(items)
  if(NOT imported AND NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(own "${target}" LINK_LIBRARIES)
    if(own)
      list(APPEND items ${own})
    endif()
  endif()
  get_target_property(usage "${target}" INTERFACE_LINK_LIBRARIES)
  if(usage)
    list(APPEND items ${usage})
  endif()
  _strelmark_link_targets("${items}" targets)
  list(REMOVE_ITEM targets "${target}")
  set(${out} "${targets}" PARENT_SCOPE)
endfunction()

# Every target that `target` reaches through links, with the chain that reaches each one
# (variables _strelmark_chain_<target> in the caller's scope).
function(_strelmark_reachable target out)
  set(seen)
  set(queue "${target}")
  set(_strelmark_chain_${target} "${target}")
  while(queue)
    list(POP_FRONT queue current)
    _strelmark_direct_links("${current}" next)
    foreach(linked IN LISTS next)
      if(NOT linked IN_LIST seen AND NOT linked STREQUAL target)
        list(APPEND seen "${linked}")
        list(APPEND queue "${linked}")
        set(_strelmark_chain_${linked} "${_strelmark_chain_${current}} -> ${linked}")
        set(_strelmark_chain_${linked} "${_strelmark_chain_${linked}}" PARENT_SCOPE)
      endif()
    endforeach()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# The library whose sources list each header of the program: variables
# _strelmark_owner_<folder/name.h> in the caller's scope.
macro(_strelmark_header_owners)
  foreach(library IN LISTS STRELMARK_LAYERS)
    if(TARGET "${library}")
      get_target_property(dir "${library}" SOURCE_DIR)
      get_target_property(sources "${library}" SOURCES)
      file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${dir}")
      foreach(source IN LISTS sources)
        if(source MATCHES "\\.h$" AND NOT IS_ABSOLUTE "${source}")
          set(_strelmark_owner_${folder}/${source} "${library}")
        endif()
      endforeach()
    endif()
  endforeach()
endmacro()

# Appends to `problems` each include of `library`'s sources that names a header of a library
# it may not use.
function(_strelmark_check_includes library out_var)
  get_target_property(dir "${library}" SOURCE_DIR)
  get_target_property(sources "${library}" SOURCES)
  set(found ${${out_var}})
  foreach(source IN LISTS sources)
    if(IS_ABSOLUTE "${source}" OR NOT source MATCHES "\\.(h|cpp)$")
      continue()
    endif()
    file(STRINGS "${dir}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
      set(owner "${_strelmark_owner_${header}}")
      if(NOT owner)
        list(APPEND found "${dir}/${source} includes ${header}, which no library of the program lists")
      elseif(NOT owner STREQUAL library AND NOT owner IN_LIST STRELMARK_MAY_LINK_${library}
        AND NOT owner IN_LIST STRELMARK_MAY_INCLUDE_${library})
        list(APPEND found "${dir}/${source} (${library}) includes ${header} of ${owner}, which is not below it")
      endif()
    endforeach()
  endforeach()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

# The arrows as README.md and CONTRIBUTING.md show them, one layer a line from the top: the
# libraries it links and, in brackets, those whose headers it includes as well.
function(_strelmark_arrows out)
  set(lines)
  set(layers ${STRELMARK_LAYERS})
  list(REVERSE layers)
  foreach(library IN LISTS layers)
    string(REGEX REPLACE "^strelmark_" "" name "${library}")
    if(name STREQUAL "strelmark")
      set(name "program")
    endif()
    set(below)
    foreach(linked IN LISTS STRELMARK_MAY_LINK_${library})
      string(REGEX REPLACE "^strelmark_" "" linked "${linked}")
      list(APPEND below "${linked}")
    endforeach()
    if(NOT below)
      set(below "(Qt Core only)")
      if(library STREQUAL "strelmark_posix")
        set(below "(no Qt)")
      endif()
    endif()
    list(JOIN below ", " text)
    set(included)
    foreach(extra IN LISTS STRELMARK_MAY_INCLUDE_${library})
      string(REGEX REPLACE "^strelmark_" "" extra "${extra}")
      list(APPEND included "${extra}")
    endforeach()
    if(included)
      list(JOIN included ", " extras)
      string(APPEND text " [includes ${extras}]")
    endif()
    string(LENGTH "${name}" length)
    math(EXPR pad "16 - ${length}")
    string(REPEAT " " ${pad} spaces)
    list(APPEND lines "${name}${spaces}-> ${text}")
  endforeach()
  list(JOIN lines "\n" block)
  set(${out} "${block}" PARENT_SCOPE)
endfunction()

# Appends to `out_var` each document whose block between "<!-- layers -->" and
# "<!-- /layers -->" is not the arrows of the build.
function(_strelmark_check_documents arrows out_var)
  set(found ${${out_var}})
  foreach(document README.md CONTRIBUTING.md)
    file(READ "${PROJECT_SOURCE_DIR}/${document}" text)
    string(FIND "${text}" "<!-- layers -->\n```\n" begin)
    string(FIND "${text}" "\n```\n<!-- /layers -->" end)
    if(begin LESS 0 OR end LESS begin)
      list(APPEND found "${document} has no block between <!-- layers --> and <!-- /layers -->")
      continue()
    endif()
    math(EXPR from "${begin} + 20")
    math(EXPR length "${end} - ${from}")
    string(SUBSTRING "${text}" ${from} ${length} shown)
    if(NOT shown STREQUAL arrows)
      list(APPEND found
        "${document}'s arrows are not the build's, which are in ${CMAKE_BINARY_DIR}/layers.txt")
    endif()
  endforeach()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

function(strelmark_check_layers)
  set(problems)
  _strelmark_arrows(arrows)
  file(WRITE "${CMAKE_BINARY_DIR}/layers.txt" "${arrows}\n")
  _strelmark_check_documents("${arrows}" problems)
  _strelmark_header_owners()
  foreach(library IN LISTS STRELMARK_LAYERS)
    if(NOT TARGET "${library}")
      list(APPEND problems "${library} is not defined")
      continue()
    endif()
    # No link to a library of the program that is not below this one.
    _strelmark_direct_links("${library}" direct)
    foreach(linked IN LISTS direct)
      if(linked IN_LIST STRELMARK_LAYERS AND NOT linked IN_LIST STRELMARK_MAY_LINK_${library})
        list(APPEND problems "${library} links ${linked}, which is not below it")
      endif()
    endforeach()
    _strelmark_check_includes("${library}" problems)
    # No widgets below the window and the list's view, by any chain of links.
    if(library IN_LIST STRELMARK_WITHOUT_WIDGETS)
      _strelmark_reachable("${library}" reached)
      foreach(forbidden IN LISTS STRELMARK_WIDGET_LIBRARIES)
        if(forbidden IN_LIST reached)
          list(APPEND problems
            "${library} reaches ${forbidden} (${_strelmark_chain_${forbidden}}), but it may use Qt Core only")
        endif()
      endforeach()
    endif()
  endforeach()
  if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "The layers are broken:\n  ${text}\n"
      "See cmake/StrelmarkLayers.cmake and CONTRIBUTING.md for what each layer may link.")
  endif()
endfunction()
