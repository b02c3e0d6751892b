# On a screen of two device pixels per pixel (Qt's scale factor 2), a drag
# over a region saves its device pixels, and the picture window lies over
# the region at the same place and size.
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=1920x1200
start_desktop
make_program_folder
export QT_SCALE_FACTOR=2

pattern_on_root 1920x1200 -fill white -draw 'circle 400,460 430,490'
start_on_small_picture

# Screen pixels: (200, 400) to (600, 520) are (100, 200) to (300, 260) for the program.
capture_by_drag 200 400 600 520
expect_capture "$WORK/desktop.png" 202 402 396 116
expect_picture_at 200 400 396
pass
