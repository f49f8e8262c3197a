# The foreign application of the end-to-end tests, the platform checks and the paste benchmarks: one text
# widget holding the keyboard focus. Usage: wish tk_target.tcl OUTPUT_FILE TITLE
# OUTPUT_FILE gets the text (UTF-8, without Tk's trailing newline) after every change, renamed over from a
# temporary file; it is first written (empty) once the window is visible. Standard output, one line an event:
# "ready", "T <microseconds> <characters>" (text changed), "K <keysym> <state> <keycode>" (key press),
# "paste <microseconds>", "cleared". Standard input takes "clear" and "quit"; its end changes nothing.

lassign $argv outFile title
fconfigure stdout -buffering line -encoding utf-8

wm title . $title
wm geometry . 500x300+[expr {40 + int(rand() * 200)}]+[expr {40 + int(rand() * 200)}]
text .t -width 60 -height 15 -undo 0
pack .t -fill both -expand 1
set dumpPending 0

proc dump {} {
    global outFile dumpPending
    set dumpPending 0
    set f [open $outFile.tmp w]
    fconfigure $f -encoding utf-8 -translation lf
    puts -nonewline $f [.t get 1.0 end-1c]
    close $f
    file rename -force $outFile.tmp $outFile
}

# <<Modified>> comes when the modified flag goes from clear to set; clearing it re-arms the event (and fires
# it once more with the flag clear, which is ignored). A burst of changes is written once Tk is idle.
proc changed {} {
    global dumpPending
    if {![.t edit modified]} return
    puts "T [clock microseconds] [.t count -chars 1.0 end-1c]"
    .t edit modified 0
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
    switch -- [string trim $line] {
        clear { .t delete 1.0 end; .t edit modified 0; dump; puts cleared }
        quit { exit }
    }
}

bind .t <<Modified>> changed
bind .t <KeyPress> {+puts "K %K %s %k"}
# On the toplevel's tag: on the widget's own tag it would take Control+V and Shift+Insert from <KeyPress>.
bind . <<Paste>> {puts "paste [clock microseconds]"}
# Take the focus again whenever the window is activated, so keys always reach the text widget.
bind . <FocusIn> {focus .t}
fileevent stdin readable command

tkwait visibility .t
focus -force .t
dump
puts ready
