# Rewrites the description JUCE 7.0.5's LV2 helper writes into a bundle so that
# lv2_validate accepts it, keeping everything hosts read:
#  - dsp.ttl: the maintainer and release move from the plug-in to a doap:Project
#    the plug-in names with lv2:project (DOAP allows them on projects only; lilv
#    looks there for the author too); the maintainer's mail becomes a mailto: IRI
#    instead of a path relative to the bundle;
#  - dsp.ttl: lv2:portProperty goes from the discrete parameters (it is for
#    ports); on/off ones get rdfs:range atom:Bool instead, which hosts read as
#    a toggle; scale points stay;
#  - ui.ttl: ui:noUserResize leaves lv2:extensionData (it is a feature, listed as
#    one too) and opts:interface leaves lv2:optionalFeature (it is extension data,
#    listed as such too);
#  - manifest.ttl: the state key of the program presets gets a description.
#
#   cmake -P cmake/FixLv2Bundle.cmake path/to/Quarbell.lv2 [more bundles]
#
# A rewritten file starts with a marker comment and is left alone after that, so
# running this twice is harmless. In a file without the marker every expected
# piece of JUCE's output must be found, or this fails: a JUCE that writes
# something else needs this script looked at again.

set(marker "# Rewritten for lv2_validate by cmake/FixLv2Bundle.cmake\n")

function(fail file message)
    message(FATAL_ERROR "FixLv2Bundle: ${file}: ${message}. Not what JUCE 7.0.5 writes; check cmake/FixLv2Bundle.cmake against this JUCE.")
endfunction()

# Counts the matches of a pattern (matches may hold ';', so no list).
function(count_matches out pattern text)
    string(ASCII 31 mark)
    string(REGEX REPLACE "${pattern}" "${mark}" marked "${text}")
    string(REGEX REPLACE "[^${mark}]" "" marked "${marked}")
    string(LENGTH "${marked}" n)
    set(${out} ${n} PARENT_SCOPE)
endfunction()

# Removes one item from a predicate's object list written as JUCE does:
# "\tpredicate\n\t\titem ,\n ... \t\tlast ;\n".
function(remove_from_list file var predicate item)
    set(text "${${var}}")
    string(FIND "${text}" "\t${predicate}\n" start)
    if(start EQUAL -1)
        fail("${file}" "no ${predicate} list")
    endif()
    string(SUBSTRING "${text}" ${start} -1 tail)
    string(FIND "${tail}" " ;\n" end)
    if(end EQUAL -1)
        fail("${file}" "${predicate} list not closed")
    endif()
    math(EXPR end "${end} + 3")
    string(SUBSTRING "${tail}" 0 ${end} list)

    string(FIND "${list}" "\n\t\t${item} ,\n" inside)
    string(FIND "${list}" " ,\n\t\t${item} ;\n" last)
    if(NOT inside EQUAL -1)
        string(REPLACE "\n\t\t${item} ,\n" "\n" fixed "${list}")
    elseif(NOT last EQUAL -1)
        string(REPLACE " ,\n\t\t${item} ;\n" " ;\n" fixed "${list}")
    else()
        fail("${file}" "${item} not in the ${predicate} list (or its only item)")
    endif()

    string(SUBSTRING "${text}" 0 ${start} before)
    string(SUBSTRING "${tail}" ${end} -1 after)
    set(${var} "${before}${fixed}${after}" PARENT_SCOPE)
endfunction()

function(list_has out text predicate item)
    string(FIND "${text}" "\t${predicate}\n" start)
    set(found FALSE)
    if(NOT start EQUAL -1)
        string(SUBSTRING "${text}" ${start} -1 tail)
        string(FIND "${tail}" " ;\n" end)
        string(SUBSTRING "${tail}" 0 ${end} list)
        string(REGEX MATCH "\n\t\t${item} [,;]" hit "${list} ;")
        if(hit)
            set(found TRUE)
        endif()
    endif()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Reads a generated file; "" if it was rewritten already.
function(read_generated out file)
    if(NOT EXISTS "${file}")
        fail("${file}" "missing")
    endif()
    file(READ "${file}" text)
    string(FIND "${text}" "${marker}" seen)
    if(seen EQUAL 0)
        set(text "")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(write_fixed file text)
    file(WRITE "${file}" "${marker}${text}")
endfunction()

function(fix_bundle bundle)
    if(NOT IS_DIRECTORY "${bundle}")
        message(FATAL_ERROR "FixLv2Bundle: ${bundle} is not a folder")
    endif()

    # --- manifest.ttl: the plug-in URI, and the program presets' state key -----
    set(file "${bundle}/manifest.ttl")
    file(READ "${file}" text)
    string(REGEX MATCH "\n<([^>]+)>\n\ta lv2:Plugin ;\n" hit "${text}")
    if(NOT hit)
        fail("${file}" "no plug-in subject")
    endif()
    set(uri "${CMAKE_MATCH_1}")

    read_generated(text "${file}")
    if(NOT text STREQUAL "")
        set(key_pattern "\tstate:state \\[ <([^>]+)> \"[0-9]+\"\\^\\^xsd:int ; \\] \\.\n")
        string(REGEX MATCH "${key_pattern}" hit "${text}")
        if(NOT hit OR NOT CMAKE_MATCH_1 STREQUAL "${uri}:Program")
            fail("${file}" "no program preset storing <${uri}:Program>")
        endif()
        # A host reading a preset needs nothing of this; the validator wants
        # every property described.
        string(APPEND text
            "<${uri}:Program>\n"
            "\ta <http://www.w3.org/1999/02/22-rdf-syntax-ns#Property> ;\n"
            "\t<http://www.w3.org/2000/01/rdf-schema#label> \"Program\" ;\n"
            "\t<http://www.w3.org/2000/01/rdf-schema#comment> \"Index of the plug-in program a preset selects.\" ;\n"
            "\t<http://www.w3.org/2000/01/rdf-schema#range> <http://www.w3.org/2001/XMLSchema#int> .\n")
        write_fixed("${file}" "${text}")
    endif()

    # --- dsp.ttl ---------------------------------------------------------------
    set(file "${bundle}/dsp.ttl")
    read_generated(text "${file}")
    if(NOT text STREQUAL "")
        foreach(prefix "doap:  <http://usefulinc.com/ns/doap#>" "foaf:  <http://xmlns.com/foaf/0.1/>" "lv2:   <http://lv2plug.in/ns/lv2core#>")
            string(FIND "${text}" "@prefix ${prefix} .\n" found)
            if(found EQUAL -1)
                fail("${file}" "no '@prefix ${prefix}'")
            endif()
        endforeach()

        # Maintainer and release: onto the plug-in's project.
        string(CONCAT people_pattern
            "\n\tdoap:maintainer \\[\n"
            "\t\ta foaf:Person ;\n"
            "\t\tfoaf:name \"([^\"\n]*)\" ;\n"
            "\t\tfoaf:homepage <([^>\n]*)> ;\n"
            "\t\tfoaf:mbox <([^>\n]*)> ;\n"
            "\t\\] ;\n"
            "\tdoap:release \\[\n"
            "\t\ta doap:Version ;\n"
            "\t\tdoap:revision \"([^\"\n]*)\" ;\n"
            "\t\\] ;\n")
        count_matches(n "\n\tdoap:maintainer " "${text}")
        string(REGEX MATCH "${people_pattern}" hit "${text}")
        if(NOT n EQUAL 1 OR NOT hit)
            fail("${file}" "no single doap:maintainer and doap:release block on the plug-in")
        endif()
        set(maintainer "${CMAKE_MATCH_1}")
        set(homepage "${CMAKE_MATCH_2}")
        set(mail "${CMAKE_MATCH_3}")
        set(revision "${CMAKE_MATCH_4}")

        string(REGEX MATCH "\n<${uri}>\n(\tui:ui [^\n]*\n)?\ta lv2:[A-Za-z]*Plugin ;\n\tdoap:name \"([^\"\n]*)\" ;\n" hit "${text}")
        if(NOT hit)
            fail("${file}" "no doap:name on <${uri}>")
        endif()
        set(name "${CMAKE_MATCH_2}")

        set(project "${uri}#project")
        string(REGEX REPLACE "${people_pattern}" "\n\tlv2:project <${project}> ;\n" text "${text}")

        # An empty setting in JUCE gives <>, the bundle folder: leave it out.
        set(details "")
        if(NOT homepage STREQUAL "")
            string(APPEND details "\t\tfoaf:homepage <${homepage}> ;\n")
        endif()
        if(NOT mail STREQUAL "")
            if(NOT mail MATCHES "^[a-z]+:")
                set(mail "mailto:${mail}")
            endif()
            string(APPEND details "\t\tfoaf:mbox <${mail}> ;\n")
        endif()

        string(APPEND text
            "\n"
            "<${project}>\n"
            "\ta doap:Project ;\n"
            "\tdoap:name \"${name}\" ;\n"
            "\tdoap:maintainer [\n"
            "\t\ta foaf:Person ;\n"
            "\t\tfoaf:name \"${maintainer}\" ;\n"
            "${details}"
            "\t] ;\n"
            "\tdoap:release [\n"
            "\t\ta doap:Version ;\n"
            "\t\tdoap:revision \"${revision}\" ;\n"
            "\t] .\n")

        # Port properties on parameters (one tab in: a statement of its own,
        # not a port's blank node). JUCE writes one before the scale points of
        # every discrete parameter.
        count_matches(toggles "\n\tlv2:portProperty lv2:enumeration , lv2:toggled " "${text}")
        count_matches(choices "\n\tlv2:portProperty lv2:enumeration " "${text}")
        count_matches(all_properties "\n\tlv2:portProperty " "${text}")
        count_matches(scales "\n\tlv2:scalePoint " "${text}")
        if(NOT choices EQUAL all_properties OR NOT choices EQUAL scales)
            fail("${file}" "${all_properties} port properties on parameters, ${choices} of the known form, ${scales} parameters with scale points")
        endif()

        # On/off: a parameter says it is one by its range (hosts, JUCE's among
        # them, then treat it as a toggle and send atom:Bool, which the plug-in
        # reads as 0 or 1). The Off/On scale points stay.
        string(CONCAT toggle_pattern
            "\trdfs:range atom:Float ;\n"
            "(\tlv2:default [^\n]*\n\tlv2:minimum 0 ;\n\tlv2:maximum 1[\t ]*;\n)"
            "\tlv2:portProperty lv2:enumeration , lv2:toggled ;\n")
        count_matches(typed "${toggle_pattern}" "${text}")
        if(NOT typed EQUAL toggles)
            fail("${file}" "${toggles} on/off parameters, ${typed} of them with a 0 to 1 atom:Float range just before")
        endif()
        string(REGEX REPLACE "${toggle_pattern}" "\trdfs:range atom:Bool ;\n\\1" text "${text}")

        # Choices have no parameter form of lv2:enumeration; their scale points
        # stay, JUCE's host shows plain numbers without it.
        math(EXPR choices "${choices} - ${toggles}")
        if(choices GREATER 0)
            message(WARNING "FixLv2Bundle: ${file}: dropped lv2:enumeration from ${choices} choice parameter(s); hosts keep their scale points only")
            string(REPLACE "\n\tlv2:portProperty lv2:enumeration ;\n" "\n" text "${text}")
        endif()

        string(FIND "${text}" "\n\tlv2:portProperty " left)
        if(NOT left EQUAL -1)
            fail("${file}" "port properties left on parameters")
        endif()

        write_fixed("${file}" "${text}")
    endif()

    # --- ui.ttl (written only for plug-ins with an editor) -----------------------
    set(file "${bundle}/ui.ttl")
    if(EXISTS "${file}")
        read_generated(text "${file}")
        if(NOT text STREQUAL "")
            list_has(interface_listed "${text}" "lv2:extensionData" "opts:interface")
            if(NOT interface_listed)
                fail("${file}" "opts:interface not in the lv2:extensionData list")
            endif()
            remove_from_list("${file}" text "lv2:extensionData" "ui:noUserResize")
            remove_from_list("${file}" text "lv2:optionalFeature" "opts:interface")
            write_fixed("${file}" "${text}")
        endif()
    endif()

    message(STATUS "FixLv2Bundle: ${bundle} rewritten (or already was)")
endfunction()

# Arguments follow the script: cmake -P FixLv2Bundle.cmake [--] bundle...
set(bundles "")
set(after_script FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 1 ${last})
    set(arg "${CMAKE_ARGV${i}}")
    if(after_script)
        if(NOT arg STREQUAL "--")
            list(APPEND bundles "${arg}")
        endif()
    elseif(arg STREQUAL "-P")
        set(skip_script TRUE)
    elseif(skip_script)
        set(after_script TRUE)
    endif()
endforeach()

if(NOT bundles)
    message(FATAL_ERROR "usage: cmake -P FixLv2Bundle.cmake path/to/Quarbell.lv2 [...]")
endif()

foreach(bundle IN LISTS bundles)
    fix_bundle("${bundle}")
endforeach()
