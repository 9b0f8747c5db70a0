"""What the player knows of the game's window design, in the form's pixels at 96 dpi."""

WHITE = (255, 255, 255)
PAD_NAMES = ["red", "yellow", "green", "blue"]
PAD_COLOURS = [(255, 0, 0), (255, 255, 0), (0, 255, 0), (0, 0, 255)]
# Pad centres in the form's pixels: the pads tile a 133 x 133 square in a 2 x 2 grid.
PAD_CENTRES = [(33, 33), (100, 33), (100, 100), (33, 100)]
# Where a pad's colour is read: up and left of its centre, clear of the pointer that clicked
# it, which a Wayland compositor draws into the picture, below and right of the click.
PAD_SAMPLES = [(x - 16, y - 16) for x, y in PAD_CENTRES]
PAD_PITCH = 67
FORM_SIZE = (321, 133)
# A point of the window's orange background, off every pad.
OFF_PADS = (250, 120)
GAME_CAPTION = "Zintu!"
# The caption bar the game draws itself where a Wayland compositor leaves it to the program: the
# toolkit's window grey.
CAPTION_BAR_HEIGHT = 28
CAPTION_BAR_COLOUR = (239, 239, 239)
MESSAGE_CAPTION = "Zintu"
