# What each installed example must print (check_example in check_install.cmake): the lines the
# guide shows, each a whole line of the program's output.
check_example(units_and_ultrasound ""
  "0.0254 m is 25.4 mm or 1.0 in"
  "12.5 mm back to base: 0.0125 m"
  "ruler 100..200 mm over 600 px: 125 mm at pixel 150, pixel 599 at 200.0 mm"
  "10 us at 100 MHz: 1000 samples, 10.0 us, sound path 59.2 mm, true depth 29.6 mm"
  "true depth on a ruler: 0.0296 m")
check_example(view_with_rulers ${WORK_DIR}/quarlen-view.png
  "scan ruler view: a tick every 20 mm from 0 mm, grid lines every 0.02 m"
  "depth ruler view: a tick every 5 mm from 0 mm, grid lines every 0.005 m"
  "exported ${WORK_DIR}/quarlen-view.png: 680 x 428 pixels (page 680 x 428)"
  "scan cursor at 120 mm: column 296 is drawn in the cursor colour"
  "depth cursor at 20 mm: row 160 is drawn in the cursor colour")
check_example(linked_views --headless
  "depth ruler shared: yes (created 0, holders 2)"
  "start: scan 0.0..300.0 mm, depth 0.0..50.0 mm, reference 100.0 mm, depth cursor 20.0 mm"
  "  view B depth ruler view: a tick every 5 mm from 0 mm"
  "zoom: scan 40.1..159.8 mm, depth 10.0..29.9 mm, reference 100.0 mm, depth cursor 20.0 mm"
  "  view A depth ruler view: a tick every 1 mm from 11 mm"
  "drag cursors: scan 40.1..159.8 mm, depth 10.0..29.9 mm, reference 130.0 mm, depth cursor 15.0 mm"
  "history after the zoom and the cursor drags: 1 back"
  "history back: 0 back, 1 forward"
  "back: scan 0.0..300.0 mm, depth 0.0..50.0 mm, reference 130.0 mm, depth cursor 15.0 mm"
  "history forward: 1 back, 0 forward"
  "forward: scan 40.1..159.8 mm, depth 10.0..29.9 mm, reference 130.0 mm, depth cursor 15.0 mm"
  "history home: 2 back, 0 forward"
  "home: scan 0.0..300.0 mm, depth 0.0..50.0 mm, reference 130.0 mm, depth cursor 15.0 mm"
  "history back: 1 back, 1 forward"
  "depth home: scan 40.1..159.8 mm, depth 0.0..50.0 mm, reference 130.0 mm, depth cursor 15.0 mm")
check_example(qt_application --headless
  "before: scan 100 .. 150 mm"
  "view frame 400 x 276: data 366 x 230, scan ruler view 366 x 28"
  "after the button: scan 0 .. 300 mm, a tick every 50 mm"
  "view frame 600 x 376: data 566 x 330, scan ruler view 566 x 28"
  "exec returned 0, main window gone")
