# The Qt toolkit layer, the skin engine, the program `qorvella` and its resources.
