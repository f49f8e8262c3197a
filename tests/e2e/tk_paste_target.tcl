# A foreign application for the paste tests and the paste benchmark: one text widget holding the keyboard focus,
# which reports every change the moment it happens.
# Usage: wish tk_paste_target.tcl OUTPUT_FILE TITLE
#
# - OUTPUT_FILE receives the widget's text (UTF-8, without Tk's trailing newline) after every change, through a
#   temporary file renamed over it, so a reader never sees half a file. It is first written (empty) once the
#   window is visible, so its existence means the target is ready.
# - Standard output gets one line per event, flushed at once:
#     "T <microseconds> <characters>"  the text changed (wall-clock time, length of the text after the change)
#     "K <keysym> <state> <keycode>"   a key press reached the widget (state: X modifier bits)
#     "C"                              the text was cleared on request
# - A line "clear" on standard input empties the text (the benchmark starts each round from an empty widget).

if {[llength $argv] != 2} {
    puts stderr "usage: wish tk_paste_target.tcl OUTPUT_FILE TITLE"
    exit 2
}
lassign $argv outFile title
set tmpFile "$outFile.tmp"
fconfigure stdout -buffering line -encoding utf-8

wm title . $title
wm geometry . 500x300+[expr {40 + int(rand() * 200)}]+[expr {40 + int(rand() * 200)}]
text .t -width 60 -height 15 -undo 0
pack .t -fill both -expand 1

set dumpPending 0

proc dump {} {
    global outFile tmpFile dumpPending
    set dumpPending 0
    set f [open $tmpFile w]
    fconfigure $f -encoding utf-8 -translation lf
    puts -nonewline $f [.t get 1.0 end-1c]
    close $f
    file rename -force $tmpFile $outFile
}

# <<Modified>> comes when the modified flag goes from clear to set; clearing it again re-arms the event for
# the next change (and fires it once more, with the flag clear, which is ignored).
proc changed {} {
    global dumpPending
    if {![.t edit modified]} {
        return
    }
    set now [clock microseconds]
    puts "T $now [.t count -chars 1.0 end-1c]"
    .t edit modified 0
    # Many changes in one burst (typed text) give one write once Tk is idle.
    if {!$dumpPending} {
        set dumpPending 1
        after idle dump
    }
}

proc command {} {
    if {[gets stdin line] < 0} {
        fileevent stdin readable {}
        return
    }
    if {[string trim $line] eq "clear"} {
        .t delete 1.0 end
        .t edit modified 0
        dump
        puts "C"
    }
}

bind .t <<Modified>> changed
bind .t <KeyPress> {+puts "K %K %s %k"}
# Take the focus again whenever the window is activated, so keys always reach the text widget.
bind . <FocusIn> {focus .t}
fileevent stdin readable command

tkwait visibility .t
focus -force .t
dump
