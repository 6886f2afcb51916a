# Who may include whom. Each core folder lists every folder below it that it may use; the build
# links only those, and cmake/CheckFloors.cmake fails on an include that points elsewhere.
set(KV_CORE_FOLDERS base persist lang model selectors validate edit compile runtime testmode journeys spelling printing pictures app)

set(KV_FLOOR_base "")
set(KV_FLOOR_persist base)
set(KV_FLOOR_lang base)
set(KV_FLOOR_model lang persist base)
set(KV_FLOOR_selectors model lang persist base)
set(KV_FLOOR_validate selectors model lang persist base)
set(KV_FLOOR_edit selectors model lang persist base)
set(KV_FLOOR_compile validate selectors model lang persist base)
set(KV_FLOOR_runtime lang persist base)
set(KV_FLOOR_testmode runtime compile validate selectors model lang persist base)
set(KV_FLOOR_spelling model lang persist base)
set(KV_FLOOR_printing edit selectors model lang persist base)
set(KV_FLOOR_pictures compile edit validate selectors model lang persist base)
set(KV_FLOOR_journeys testmode runtime compile validate selectors model lang persist base)
set(KV_FLOOR_app journeys pictures printing spelling testmode runtime compile edit validate selectors model lang persist base)
# The front ends stand on the whole core and never on each other.
set(KV_FRONT_FOLDERS views cli bench)
foreach(front IN LISTS KV_FRONT_FOLDERS)
    set(KV_FLOOR_${front} ${KV_FLOOR_app} app)
endforeach()
