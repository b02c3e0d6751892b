# "上次文件.txt" in GB18030 naming a picture in a folder whose name has Chinese
# characters and a space: the program opens that picture at its size.
source "$(dirname "$0")/lib.sh"
start_desktop
make_program_folder

folder="$WORK/图片 文件夹"
mkdir -p "$folder"
picture="$folder/测试 图.jpg"
convert -size 640x480 xc:white -fill none -stroke black -strokewidth 4 \
  -draw "rectangle 40,40 600,440" -draw "line 40,40 600,440" "$picture"
start_on "$picture"
title=$(window_title "$id")
[[ $title == "$(main_title 640 480)" ]] ||
  fail "title is '$title', expected '$(main_title 640 480)' (the picture named in 上次文件.txt)"
wait_geometry "$id" "50 50 640 480"
pass
