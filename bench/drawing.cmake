# Drawing surface: fill and copy of a plotting-area-sized surface, single pixels, lines.
add_executable(funzioni_bench_drawing ${CMAKE_CURRENT_LIST_DIR}/drawing_surface.cpp)
target_link_libraries(funzioni_bench_drawing PRIVATE funzioni_drawing benchmark::benchmark)
# The page's first picture: hatched boxes and opening the glyph atlas.
add_executable(funzioni_bench_raster_start ${CMAKE_CURRENT_LIST_DIR}/raster_start.cpp)
target_link_libraries(funzioni_bench_raster_start PRIVATE funzioni_glyph_atlas_builder
                                                          benchmark::benchmark)
