# The foreign application the end-to-end tests paste into: one text widget that holds the keyboard focus.
# Usage: wish tk_target.tcl OUTPUT_FILE
# The widget's content is written to OUTPUT_FILE (UTF-8, exactly as held, without Tk's trailing newline)
# every 100 ms, through a temporary file renamed over it, so a reader never sees half a file. The first
# write happens once the window is mapped, so the file's existence means the target is ready.

if {[llength $argv] != 1} {
    puts stderr "usage: wish tk_target.tcl OUTPUT_FILE"
    exit 2
}
set outFile [lindex $argv 0]
set tmpFile "$outFile.tmp"

wm title . TkTarget
wm geometry . 500x300+40+40
text .t -width 60 -height 15 -undo 0
pack .t -fill both -expand 1

proc dump {} {
    global outFile tmpFile
    set f [open $tmpFile w]
    fconfigure $f -encoding utf-8 -translation lf
    puts -nonewline $f [.t get 1.0 end-1c]
    close $f
    file rename -force $tmpFile $outFile
    after 100 dump
}

# Take the focus again whenever the window is activated, so keys always reach the text widget.
bind . <FocusIn> {focus .t}

tkwait visibility .t
focus -force .t
dump
