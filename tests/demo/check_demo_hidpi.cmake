# The demo on a high-DPI screen: the scripted run headless at a device-pixel ratio of 1 and of
# 2 (Qt's scale factor on the offscreen platform). Both must finish, and each screenshot at
# ratio 2 must have twice the pixels in each direction: the views are drawn at device pixels,
# not scaled up from the 96 DPI image.
#   cmake -DDEMO=<exe> -DOUT_DIR=<dir> -P check_demo_hidpi.cmake

# Width and height of a PNG, from its header chunk.
function(png_size file out_w out_h)
  file(READ ${file} hex OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${hex}" 0 8 w)
  string(SUBSTRING "${hex}" 8 8 h)
  math(EXPR w "0x${w}")
  math(EXPR h "0x${h}")
  set(${out_w} ${w} PARENT_SCOPE)
  set(${out_h} ${h} PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${OUT_DIR})
foreach(scale 1 2)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=${scale}
                          ${DEMO} --headless --out ${OUT_DIR}/x${scale}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "demo at scale ${scale} exited with ${rc}\n${out}\n${err}")
  endif()
  string(FIND "${out}" "script done" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "demo at scale ${scale} did not finish its script\n${out}")
  endif()
endforeach()

foreach(shot 01-start 04-zoom 12-home)
  png_size(${OUT_DIR}/x1/${shot}.png w1 h1)
  png_size(${OUT_DIR}/x2/${shot}.png w2 h2)
  math(EXPR ew "2 * ${w1}")
  math(EXPR eh "2 * ${h1}")
  if(NOT w2 EQUAL ew OR NOT h2 EQUAL eh)
    message(FATAL_ERROR "${shot}: ${w2}x${h2} at scale 2, expected ${ew}x${eh} (twice ${w1}x${h1})")
  endif()
  message("${shot}: ${w1}x${h1} at scale 1, ${w2}x${h2} at scale 2")
endforeach()
