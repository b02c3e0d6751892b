# On a screen of two device pixels per pixel (Qt's scale factor 2), a drag
# over a region saves its device pixels, and the picture window lies over
# the region at the same place and size.
source "$(dirname "$0")/lib.sh"
SCREEN_SIZE=1920x1200
start_desktop
make_program_folder
export QT_SCALE_FACTOR=2

convert -size 1920x1200 gradient:navy-orange -fill white -draw 'circle 400,460 430,490' "$WORK/desktop.png"
show_on_root "$WORK/desktop.png"
picture="$WORK/small.jpg"
convert -size 100x80 xc:green "$picture"
start_on "$picture"

# Screen pixels: (200, 400) to (600, 520) are (100, 200) to (300, 260) for the program.
capture_by_drag 200 400 600 520
expect_capture "$WORK/desktop.png" 202 402 396 116
expect_picture_at 200 400 396
pass
