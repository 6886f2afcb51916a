# Who may include whom. Each core folder lists every folder below it that it may use; the build
# links only those, and cmake/CheckFloors.cmake fails on an include that points elsewhere.
set(KV_CORE_FOLDERS base persist lang model selectors validate edit compile runtime web testmode journeys spelling printing pictures project wizards app)

set(KV_FLOOR_base "")
set(KV_FLOOR_persist base)
set(KV_FLOOR_lang base)
set(KV_FLOOR_model lang persist base)
set(KV_FLOOR_selectors model lang persist base)
set(KV_FLOOR_validate selectors model lang persist base)
set(KV_FLOOR_edit selectors model lang persist base)
set(KV_FLOOR_compile validate selectors model lang persist base)
set(KV_FLOOR_runtime lang persist base)
set(KV_FLOOR_web runtime lang persist base)
set(KV_FLOOR_testmode runtime compile validate selectors model lang persist base)
set(KV_FLOOR_spelling model lang persist base)
set(KV_FLOOR_printing edit selectors model lang persist base)
set(KV_FLOOR_pictures compile edit validate selectors model lang persist base)
set(KV_FLOOR_project pictures printing spelling journeys testmode runtime compile edit validate selectors model lang persist base)
set(KV_FLOOR_journeys testmode runtime compile validate selectors model lang persist base)
set(KV_FLOOR_wizards journeys testmode runtime compile edit validate selectors model lang persist base)
set(KV_FLOOR_app project wizards journeys pictures printing spelling testmode web runtime compile edit validate selectors model lang persist base)
# Projects in version control: the text form of a whole project, its diff and three-way merge.
list(APPEND KV_CORE_FOLDERS vcs)
set(KV_FLOOR_vcs journeys testmode runtime compile edit validate selectors model lang persist base)
list(APPEND KV_FLOOR_app vcs)
# Outside SQL databases (Qt SQL): external selectors' tables and the web results on a server.
list(APPEND KV_CORE_FOLDERS database)
set(KV_FLOOR_database web runtime selectors model lang persist base)
list(APPEND KV_FLOOR_app database)
# The front ends stand on the whole core and never on each other.
set(KV_FRONT_FOLDERS views cli bench server)
foreach(front IN LISTS KV_FRONT_FOLDERS)
    set(KV_FLOOR_${front} ${KV_FLOOR_app} app)
endforeach()
# The Designer's benchmark drives its windows.
list(APPEND KV_FRONT_FOLDERS designerbench)
set(KV_FLOOR_designerbench ${KV_FLOOR_app} app views)
