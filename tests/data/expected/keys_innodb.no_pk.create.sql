CREATE TABLE `no_pk` (
  `a` int(11) DEFAULT NULL,
  `b` varchar(20) DEFAULT NULL,
  `c` date DEFAULT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
