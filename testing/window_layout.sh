# shellcheck shell=bash disable=SC2034 # read by the scripts that source it
# The window as the scripts that drive it on a display find it: captions, the client area and
# the controls they click. Sourced, not run; tst_window_inventory checks every value here against
# the window itself, so these are the program's own.

window_caption_prefix='VANTER III  v3.b3  -- '
window_untitled_caption='VANTER III  v3.b3  -- Untitled.in3'
window_message_caption='VanterIII Message'
window_error_caption='VANTER III'
# The client area below the menu bar, the status bar included.
window_client_width=553
window_client_height=498
# Controls in the client area: x y width height.
control_PrinterCombo='96 19 75 21'
control_FilenameEdit1='72 158 177 21'
control_Check='235 435 75 25'

# A text as a regular expression that matches just it (xdotool search --name).
literal_pattern() { # text
    # shellcheck disable=SC2001 # a set of characters: beyond ${text//...}
    sed 's/[][\.*^$]/\\&/g' <<<"$1"
}

# The middle of a control, in the client area's coordinates.
control_middle() { # "x y width height"
    local x y cx cy
    read -r x y cx cy <<<"$1"
    echo "$((x + cx / 2)) $((y + cy / 2))"
}
