CREATE TABLE `composite_pk` (
  `a` int(11) NOT NULL,
  `b` varchar(10) NOT NULL,
  `c` int(11) NOT NULL,
  `d` varchar(20) DEFAULT NULL,
  PRIMARY KEY (`c`,`a`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
