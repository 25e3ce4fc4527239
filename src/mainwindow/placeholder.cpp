// placeholder until the folder's first unit lands
