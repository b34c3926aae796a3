# Sourced by the window benchmarks (window.sh, remote.sh): where the video form is placed on a
# 1920x1080 screen, through a settings file written before each run.

# Where each size puts the window (x y width height): the video form's default place and size,
# and the whole screen, which the form covers when it goes full screen.
declare -A place=([window]="249 164 783 647" [full]="0 0 1920 1080")

# A fresh settings file for each run of ours, placing the form (the program saves on exit), and
# the playlist window beside the screen, so that, as with mpv, nothing covers the video.
settings() {  # settings FILE SIZE
  read -r x y w h <<< "${place[$2]}"
  printf '%s\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Quorvex Software\Vizmora\vizmoraFM]' \
    "\".Left\"=\"$x\"" "\".Top\"=\"$y\"" "\".Right\"=\"$((x + w))\"" "\".Bottom\"=\"$((y + h))\"" \
    '".WindowState"="0"' '' \
    '[HKEY_CURRENT_USER\Software\Quorvex Software\Vizmora\PlayLstFm]' \
    '".Left"="1920"' '".Top"="140"' '".Right"="2343"' '".Bottom"="785"' > "$1"
}
