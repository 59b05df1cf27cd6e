# Drawing surface: fill and copy of a plotting-area-sized surface, single pixels, lines.
add_executable(funzioni_bench_drawing ${CMAKE_CURRENT_LIST_DIR}/drawing_surface.cpp)
target_link_libraries(funzioni_bench_drawing PRIVATE funzioni_drawing benchmark::benchmark)
# The page's first picture: hatched boxes and opening the glyph atlas.
add_executable(funzioni_bench_raster_start ${CMAKE_CURRENT_LIST_DIR}/raster_start.cpp)
target_link_libraries(funzioni_bench_raster_start PRIVATE funzioni_glyph_atlas_builder
                                                          benchmark::benchmark)
# A key typed into the formula box holding a long formula.
add_executable(funzioni_bench_text_box ${CMAKE_CURRENT_LIST_DIR}/text_box_keys.cpp)
target_link_libraries(funzioni_bench_text_box PRIVATE funzioni_drawing Qt6::Widgets
                                                      benchmark::benchmark)
