10 gopen 1,800,600
20 print gsizex(); gsizey()
