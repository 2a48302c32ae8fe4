# Runs the demo's scripted interaction and checks what a user sees: exit code 0, the
# screenshots, and the printed cursor values, ruler ranges, curve points, readouts and zoom log
# lines (the library's zoom texts, tabs included) after each step.
#   cmake -DDEMO=<exe> -DOUT_DIR=<dir> -DARGS=<args> [-DLAUNCHER=<cmd>] -P check_demo.cmake
file(REMOVE_RECURSE ${OUT_DIR})
execute_process(COMMAND ${LAUNCHER} ${DEMO} ${ARGS} --out ${OUT_DIR}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "demo exited with ${rc}\n${err}")
endif()

set(expected
  "start: scan ruler 0.0..300.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  "start: reference 60.0 mm, measure 130.0 mm, depth 12.0 mm, A-scan at 60.0 mm"
  # The drag moves only the reference; the A-scan follows it.
  "drag reference: reference 100.0 mm, measure 130.0 mm, depth 12.0 mm, A-scan at 100.0 mm"
  # The top view holds no scan cursor: a B-scan cursor drag does not repaint it.
  "drag reference: top view drawn 0 times"
  # Shift+Ctrl moves the pair at its distance.
  "move pair: reference 130.0 mm, measure 160.0 mm, depth 12.0 mm, A-scan at 130.0 mm"
  # The band's pixels, not whole millimetres; the A-scan shares the depth ruler.
  "zoom: scan ruler 40.0..189.9 mm, depth ruler 5.0..35.0 mm, A-scan depth ruler 5.0..35.0 mm"
  # A band in both axes: the two-axes text (no blank before the second unit, as the table has it).
  "zoom log: 两条轴放大:\t顶部 = 5.0 mm\t底部 = 35.0mm\t左 = 40.0 mm\t右 = 189.9 mm"
  # The pick snaps the reference and depth cursors to whole millimetres.
  "pick: reference 150.0 mm, measure 160.0 mm, depth 24.0 mm, A-scan at 150.0 mm"
  # The distance-amplitude curve through the holes' echoes, and the echo at the depth cursor
  # against it.
  "dac start: dac (100.0 %, 5.0 mm) (95.0 %, 12.0 mm) (80.0 %, 24.0 mm) (70.0 %, 33.0 mm) (64.0 %, 39.0 mm)"
  "dac start: readout DAC at 24.0 mm: 80.0 %; echo 3.9 %: -26.2 dB"
  # A sideways drag changes only the amplitude (the pixel's value, not a whole percent).
  "dac drag: dac (100.0 %, 5.0 mm) (95.0 %, 12.0 mm) (59.8 %, 24.0 mm) (70.0 %, 33.0 mm) (64.0 %, 39.0 mm)"
  "dac drag: readout DAC at 24.0 mm: 59.8 %; echo 3.9 %: -23.7 dB"
  # The duplicate dragged up takes its place in depth order; the original stays.
  "dac duplicate: dac (100.0 %, 5.0 mm) (95.0 %, 12.0 mm) (59.8 %, 24.0 mm) (70.0 %, 28.0 mm) (70.0 %, 33.0 mm) (64.0 %, 39.0 mm)"
  "dac delete: dac (100.0 %, 5.0 mm) (59.8 %, 24.0 mm) (70.0 %, 28.0 mm) (70.0 %, 33.0 mm) (64.0 %, 39.0 mm)"
  "dac delete: readout DAC at 24.0 mm: 59.8 %; echo 3.9 %: -23.7 dB"
  # With the pick tool chosen on the tool bar a left drag picks as well.
  "pick tool: reference 100.0 mm, measure 160.0 mm, depth 30.0 mm, A-scan at 100.0 mm"
  # Switching a cursor back on shows the string table's text for it.
  "reference off: status \"\""
  "reference on: status \"B-scan: 参考光标已启用\""
  "measure on: status \"B-scan: 测量光标已启用\""
  # The gate's upper thumb dragged to 30 mm, snapped to the depth samples.
  "gate start: gate 5.00..20.00 mm"
  # The top view: the largest echo in the gate at the holes (60, 130, 200 mm) and the crack
  # (250 mm) on the index cursor's line; at first only the shallowest hole lies in the gate.
  "gate start: index 20.0 mm, B-scan line 20.0 mm, top view gate 5.00..20.00 mm: 60 mm 97 %, 130 mm 5 %, 200 mm 5 %, 250 mm 5 %"
  "move gate: gate 5.00..30.00 mm"
  "move gate: status \"Gate 5.00 .. 30.00 mm\""
  # The deeper gate takes in the second hole and the crack.
  "move gate: index 20.0 mm, B-scan line 20.0 mm, top view gate 5.00..30.00 mm: 60 mm 97 %, 130 mm 82 %, 200 mm 5 %, 250 mm 48 %"
  # The home view button shows both whole axes again.
  "home: scan ruler 0.0..300.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  # The end edge of the scan bar dragged from the axis end 150 mm (480 pixels) to the left:
  # only the end moves. The log line is the zoom bar's (start and end).
  "zoom log: Scan 轴放大:\t起始 = 0.0 mm\t终止 = 150.3 mm"
  "drag scan bar end: scan ruler 0.0..150.3 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  # A page of the scan bar moves the window on by its length, stopping at the end of the axis;
  # the depth ruler stays.
  "zoom log: Scan 轴放大:\t起始 = 149.7 mm\t终止 = 300.0 mm"
  "page scan bar: scan ruler 149.7..300.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  # The home frame holds 100..200 mm.
  "zoom log: Scan 轴放大:\t起始 = 100.0 mm\t终止 = 200.0 mm"
  "home double-click: scan ruler 100.0..200.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  # The index cursor dragged from 20 to 40 mm on the top view: the B-scan shows that line, where
  # the first hole (5..35 mm along the index) has ended; the readout follows the line too.
  "index start: B-scan at the first hole 97 %"
  "index cursor: index 40.0 mm, B-scan line 40.0 mm, top view gate 5.00..30.00 mm: 60 mm 5 %, 130 mm 81 %, 200 mm 5 %, 250 mm 46 %"
  "index cursor: B-scan at the first hole 2 %"
  "index cursor: readout DAC at 30.0 mm: 70.0 %; echo 3.5 %: -25.9 dB"
  # The gate's upper thumb on to 36 mm: the deepest hole joins the top view.
  "gate deeper: gate 5.00..36.00 mm"
  "gate deeper: index 40.0 mm, B-scan line 40.0 mm, top view gate 5.00..36.00 mm: 60 mm 5 %, 130 mm 81 %, 200 mm 71 %, 250 mm 46 %"
  "pictures: scan ruler 0.0..300.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  # The zoom history: each zoom band is one step; the arrows are enabled while there is
  # somewhere to go, and the B-scan, the A-scan and the top view move together.
  "history start: top view scan 0.0..300.0 mm, back 0 (button off), forward 0 (button off)"
  "history zoom: scan ruler 40.0..189.9 mm, depth ruler 5.0..35.0 mm, A-scan depth ruler 5.0..35.0 mm"
  "history zoom again: scan ruler 105.0..160.0 mm, depth ruler 10.0..30.0 mm, A-scan depth ruler 10.0..30.0 mm"
  "history zoom again: top view scan 105.0..160.0 mm, back 2 (button on), forward 0 (button off)"
  # Alt+Left: the windows before the second band, on every view.
  "history back: scan ruler 40.0..189.9 mm, depth ruler 5.0..35.0 mm, A-scan depth ruler 5.0..35.0 mm"
  "history back: top view scan 40.0..189.9 mm, back 1 (button on), forward 1 (button on)"
  # The tool bar's forward arrow: the second band's windows again.
  "history forward: scan ruler 105.0..160.0 mm, depth ruler 10.0..30.0 mm, A-scan depth ruler 10.0..30.0 mm"
  "history forward: top view scan 105.0..160.0 mm, back 2 (button on), forward 0 (button off)"
  # The Home key: the whole axes, as a step of its own that Back would undo.
  "history home: scan ruler 0.0..300.0 mm, depth ruler 0.0..50.0 mm, A-scan depth ruler 0.0..50.0 mm"
  "history home: top view scan 0.0..300.0 mm, back 3 (button on), forward 0 (button off)"
  "script done")
foreach(line IN LISTS expected)
  string(FIND "${out}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing output line: ${line}")
  endif()
endforeach()

foreach(shot 01-start 02-drag-reference 03-move-pair 04-zoom 05-pick 06-dac-drag 07-dac-duplicate
             08-dac-delete 09-pick-tool 10-reference-off 11-gate 12-home 13-drag-scan-bar-end
             14-page-scan-bar 15-home-double-click 16-index-cursor 17-gate-deeper
             19-history-back 20-history-forward view-window
             view-bscan view-cscan)
  set(png ${OUT_DIR}/${shot}.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "screenshot not written: ${png}")
  endif()
  file(SIZE ${png} size)
  if(size LESS 10000)
    message(FATAL_ERROR "screenshot too small to hold the views: ${png} (${size} bytes)")
  endif()
endforeach()

# The A-scan picture is mostly white: present, and more than an empty image.
set(png ${OUT_DIR}/view-ascan.png)
if(NOT EXISTS ${png})
  message(FATAL_ERROR "screenshot not written: ${png}")
endif()
file(SIZE ${png} size)
if(size LESS 2000)
  message(FATAL_ERROR "screenshot too small to hold the view: ${png} (${size} bytes)")
endif()
